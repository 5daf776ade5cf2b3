// Help window, URL opener, message boxes and the notification-area service,
// on the off-screen platform, where the icon has no place on the screen and
// no XEmbed tray exists. The D-Bus tray is a stand-in StatusNotifierWatcher
// on the private session bus the tests run on (dbus-run-session). The real
// trays and the task list are exercised by the desktop suite (tests/desktop).
#include "platform/desktop_url_opener.h"
#include "platform/help_browser.h"
#include "platform/message_boxes.h"
#include "platform/qt_notify_area.h"

#include <QPushButton>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

#include <sys/stat.h>

using orvantis::QtNotifyArea;
using orvantis::WidgetMessageBoxes;
using Reason = QSystemTrayIcon::ActivationReason;
using ShowBox = void (WidgetMessageBoxes::*)(QWidget*, const QString&, const QString&);

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
}

const QByteArray kHelpPage = "<html><body><h1>Contents</h1><p><a href=\"#last\">Go to the last topic</a></p>"
                             + QByteArray("<p>Filler paragraph</p>").repeated(200)
                             + "<h2><a name=\"last\">Last topic</a></h2></body></html>";

// The help window, which ShowContents has just brought to the front.
QTextBrowser* shownHelp()
{
    QCoreApplication::processEvents();
    return qobject_cast<QTextBrowser*>(QApplication::activeWindow());
}

// Clicks the middle of the first character of `text` in the window.
void clickText(QTextBrowser* window, const QString& text)
{
    QTextCursor cursor = window->document()->find(text);
    QVERIFY(!cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 1);
    QTest::mouseClick(window->viewport(), Qt::LeftButton, {}, window->cursorRect(cursor).center() - QPoint(2, 0));
}

// The URL schemes the tests see reach the desktop: all of them come to open().
const char* const kSchemes[] = {"mailto", "https", "http", "file", "javascript", "smb"};

} // namespace

class StandInWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER hostRegistered)
public:
    bool hostRegistered = true;
};

class DesktopTest : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls_ << url; } // in the desktop's place

private slots:
    void initTestCase()
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    void init() { urls_.clear(); }

    // Shown from its start in a window of its own; links inside the file are
    // followed there. A file that cannot be shown says why (a pipe must not
    // block the read; Qt would take minutes or overflow its stack laying out
    // deeply nested tables or elements), and once back it is shown again.
    void helpWindow()
    {
        const QString path = files_.filePath("Hilfe für Orvantis/Orvantis.hlp");
        QVERIFY(QDir(files_.path()).mkdir("Hilfe für Orvantis"));
        orvantis::HelpBrowser help;
        help.ShowContents(path);
        QTextBrowser* window = shownHelp();
        QVERIFY(window && window->isVisible() && !window->isModal());

        const auto shown = [&](const QByteArray& content = {}) { // as it is, without content
            if (!content.isNull())
                writeFile(path, content);
            help.ShowContents(path);
            return window->toPlainText().trimmed();
        };
        const QString cannot = "The help file could not be opened: " + path + "\n\n";
        const QString deep = "Its tables or other elements are nested too deeply to be shown.";
        QCOMPARE(shown(), cannot + "The file does not exist.");
        QVERIFY(QDir().mkdir(path));
        QCOMPARE(shown(), cannot + "It is a folder, not a file.");
        QVERIFY(QDir().rmdir(path) && ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
        QCOMPARE(shown(), cannot + "It is not an ordinary file.");
        QVERIFY(QFile::remove(path));
        QCOMPARE(shown(QByteArray((1 << 20) + 1, ' ')), cannot + "It is too large to be a help file.");
        QCOMPARE(shown(QByteArray("<table><tr><td>").repeated(9)), cannot + deep);
        QCOMPARE(shown(QByteArray("<div>").repeated(257)), cannot + deep);
        // Sloppy but shallow, and our own help file, are shown to their ends.
        QVERIFY(shown(QByteArray("<p><li><td><br><hr/></div><b>a</b>").repeated(300) + "<!--"
                      + QByteArray("<table>").repeated(20) + "-->The end").endsWith("The end"));
        QFile ours(HELP_FILE);
        QVERIFY(ours.open(QIODevice::ReadOnly) && shown(ours.readAll()).endsWith("Back to the contents"));
        shown(kHelpPage);
        clickText(window, "Go to the last topic");
        QVERIFY(window->verticalScrollBar()->value() > 0);

        window->close();
        help.ShowContents(path);
        QCOMPARE(shownHelp(), window); // the same window again, back at the start
        QVERIFY(window->isVisible());
        QCOMPARE(window->verticalScrollBar()->value(), 0);
    }

    // Trusted no further than its folder: only http, https and mailto links
    // go to the desktop, only pages of the folder are shown, and pictures are
    // read only from ordinary files there (a pipe or /dev/zero must not block
    // or fill the window).
    void helpReferences_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QString>("outcome"); // a link's page after a click and the URL the desktop got; a picture's load
        for (const char* url : {"https://example.com/more", "http://example.com/", "mailto:hello@orvantis.app?subject=Inquiry"})
            QTest::newRow(url) << url << QString("Orvantis.hlp ") + url;
        QTest::newRow("page of the folder") << "other.html" << "other.html ";
        for (const char* url : {"../outside.html", "file:///etc/passwd", "javascript:alert(1)", "smb://server/share"})
            QTest::newRow(url) << url << "Orvantis.hlp ";
        QTest::newRow("picture") << "picture.png" << "loaded";
        for (const char* src : {"pipe.png", "link-out.png", "../outside.html", "file:///dev/zero"})
            QTest::newRow(src) << src << "refused";
    }
    void helpReferences()
    {
        QFETCH(QString, ref);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString folder = dir.filePath("help/");
        QVERIFY(QDir().mkdir(folder));
        writeFile(folder + "Orvantis.hlp", "<p><a href=\"" + ref.toUtf8() + "\">the link</a></p>");
        writeFile(folder + "other.html", "<p>Another page</p>");
        writeFile(dir.filePath("outside.html"), "<p>Outside</p>");
        writeFile(folder + "picture.png", "not much of a picture");
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "pipe.png").constData(), 0666), 0);
        QVERIFY(QFile::link("../outside.html", folder + "link-out.png"));
        orvantis::HelpBrowser help;
        help.ShowContents(folder + "Orvantis.hlp");
        QTextBrowser* window = shownHelp();
        const bool picture = outcome == "loaded" || outcome == "refused";
        if (!picture)
            clickText(window, "the link");
        QCOMPARE(picture ? QString(window->loadResource(QTextDocument::ImageResource, QUrl(ref)).isValid() ? "loaded" : "refused")
                         : window->source().fileName() + " " + QUrl::toStringList(urls_).join(' '),
                 outcome);
    }

    // Beside the program, wherever it was started from (every other path
    // here is absolute).
    void helpFileLiesBesideTheProgram()
    {
        QVERIFY(QDir::setCurrent(files_.path()));
        QCOMPARE(orvantis::helpFilePath(), QStringLiteral(PROGRAM_DIR "/Orvantis.hlp"));
    }

    // The text reaches the desktop as given: nothing added, trimmed or run
    // through a shell; only the percent-encoding that a URL needs. The path of
    // an existing file opens that file.
    void openUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("opened"); // the URL the desktop gets, decoded; empty: none
        QTest::addColumn<int>("error");
        const auto unchanged = [](const char* name, const QString& url) { QTest::newRow(name) << url << url << 0; };
        unchanged("shell characters", "https://example.com/a b?q=\"x\";y=$(rm -rf ~)&z='1'`id`|&");
        unchanged("non-ASCII", "mailto:zoë@exämple.com?subject=Grüße aus Köln");
        const QString document = files_.filePath("a document ü.txt");
        writeFile(document, "text");
        QTest::newRow("document path") << document << "file://" + document << 0;
        QTest::newRow("empty") << "" << "" << 1;
        QTest::newRow("blank host") << "https://exa mple.com/" << "" << 1;
        QTest::newRow("no scheme, no such file") << "www.example.com" << "" << 1;
        QTest::newRow("no program for it") << "orvantis-nothing:at-all" << "" << 2;
    }
    void openUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, opened);
        QFETCH(int, error);
        const auto result = orvantis::DesktopUrlOpener().Open(text);
        QCOMPARE(result.errorNumber, error);
        QCOMPARE(result.issued, error == 0);
        QCOMPARE(result.description.isEmpty(), error == 0);
        QCOMPARE(urls_, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened, QUrl::TolerantMode)});
    }

    // One OK button, or Yes and No with No the default (answered Yes here);
    // markup in the text is shown as it is, not interpreted.
    void messageBoxes_data()
    {
        QTest::addColumn<ShowBox>("show"); // none: Confirm
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << &WidgetMessageBoxes::Information << int(QMessageBox::Information);
        QTest::newRow("plain") << &WidgetMessageBoxes::Plain << int(QMessageBox::NoIcon);
        QTest::newRow("warning") << &WidgetMessageBoxes::Warning << int(QMessageBox::Warning);
        QTest::newRow("confirm") << ShowBox() << int(QMessageBox::Warning);
    }
    void messageBoxes()
    {
        QFETCH(ShowBox, show);
        QFETCH(int, icon);
        QList<int> seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen = {int(box->icon()), int(box->standardButtons()), int(box->textFormat()),
                        int(box->windowTitle() == "Orvantis" && box->text() == "<b>x</b>"),
                        int(box->standardButton(box->defaultButton()) == QMessageBox::No)};
                box->button(show ? QMessageBox::Ok : QMessageBox::Yes)->click();
            }
        });
        poll.start(10);
        WidgetMessageBoxes boxes;
        if (show)
            (boxes.*show)(nullptr, "Orvantis", "<b>x</b>");
        else
            QVERIFY(boxes.Confirm(nullptr, "Orvantis", "<b>x</b>"));
        QCOMPARE(seen, (QList<int>{icon, show ? int(QMessageBox::Ok) : int(QMessageBox::Yes | QMessageBox::No),
                                   int(Qt::PlainText), 1, show ? 0 : 1}));
    }

    // Offscreen there is neither a tray nor a task list. Adding again
    // replaces the icon; removing an absent one is harmless.
    void addAndRemove()
    {
        QtNotifyArea tray;
        QWidget window;
        window.show();
        QVERIFY(!tray.IsAvailable());
        QVERIFY(!tray.SetSkipTaskbar(&window, true));
        tray.Remove();
        tray.Add(QPixmap(16, 16), "Orvantis", nullptr);
        tray.Add(QIcon(), "Orvantis - Lumevarre", nullptr);
        const auto icons = tray.findChildren<QSystemTrayIcon*>();
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first()->toolTip(), "Orvantis - Lumevarre");
        QVERIFY(!icons.first()->icon().isNull()); // a stand-in for a window without an icon
    }

    // Within the double-click interval (200 ms here) after a click, the icon
    // stays for that interval, so that the second click of a double click
    // lands on it rather than on what would move into its place.
    void removalAfterAClick_data()
    {
        QTest::addColumn<int>("clickedAgo"); // ms before the removal; -1: never
        QTest::addColumn<bool>("addedAgain"); // meanwhile
        QTest::addColumn<QList<bool>>("shown"); // right after the removal, 300 ms later
        QTest::newRow("no click") << -1 << false << QList<bool>{false, false};
        QTest::newRow("click just now") << 0 << false << QList<bool>{true, false};
        QTest::newRow("click long ago") << 300 << false << QList<bool>{false, false};
        QTest::newRow("click, then added again") << 0 << true << QList<bool>{true, true};
    }
    void removalAfterAClick()
    {
        QFETCH(int, clickedAgo);
        QFETCH(bool, addedAgain);
        QFETCH(QList<bool>, shown);
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(200);
        QtNotifyArea tray;
        tray.Add(QPixmap(16, 16), "Orvantis", nullptr);
        auto* icon = tray.findChild<QSystemTrayIcon*>();
        if (clickedAgo >= 0)
            emit icon->activated(QSystemTrayIcon::Trigger);
        QTest::qWait(clickedAgo);
        tray.Remove();
        QList<bool> seen{icon->isVisible()};
        if (addedAgain)
            tray.Add(QPixmap(16, 16), "Orvantis", nullptr);
        QTest::qWait(300);
        seen << icon->isVisible();
        QCOMPARE(seen, shown);
    }

    // The window acts on 515 (restore) and 517 (menu) only. They are posted,
    // with the pointer's place, rather than sent from inside Qt's click
    // handling, where the window removing the icon would destroy the widget
    // handling the click. An XEmbed icon is a window of ours, so Qt reports
    // its clicks while our button is down; it reports the right button there
    // at its press, and the release over the icon (whose widget has the
    // pointer grabbed by then) is the menu request. A D-Bus host's requests
    // come with no button of ours down, and it never reports a double click.
    void activation_data()
    {
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<Qt::MouseButton>("held");
        QTest::addColumn<QPoint>("release"); // of the right button
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("XEmbed single click") << QSystemTrayIcon::Trigger << Qt::LeftButton << QPoint(5, 5)
                                             << QList<int>{514};
        QTest::newRow("XEmbed double click") << QSystemTrayIcon::DoubleClick << Qt::LeftButton << QPoint(5, 5)
                                             << QList<int>{515};
        QTest::newRow("XEmbed right press, release over the icon")
            << QSystemTrayIcon::Context << Qt::RightButton << QPoint(5, 5) << QList<int>{516, 517};
        QTest::newRow("XEmbed right press, dragged off")
            << QSystemTrayIcon::Context << Qt::RightButton << QPoint(40, 5) << QList<int>{516};
        QTest::newRow("D-Bus activation") << QSystemTrayIcon::Trigger << Qt::NoButton << QPoint(5, 5)
                                          << QList<int>{515};
        QTest::newRow("D-Bus menu request") << QSystemTrayIcon::Context << Qt::NoButton << QPoint(5, 5)
                                            << QList<int>{517};
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << Qt::MiddleButton << QPoint(5, 5)
                                      << QList<int>{520};
    }
    void activation()
    {
        QFETCH(Reason, reason);
        QFETCH(Qt::MouseButton, held);
        QFETCH(QPoint, release);
        QFETCH(QList<int>, codes);
        QtNotifyArea tray;
        tray.Add(QPixmap(16, 16), "Orvantis", nullptr);
        QSignalSpy spy(&tray, &QtNotifyArea::iconMessage);
        QWidget icon;
        icon.setGeometry(0, 0, 22, 22);
        icon.show();
        QCursor::setPos(40, 30);
        if (held != Qt::NoButton)
            QTest::mousePress(&icon, held, {}, QPoint(5, 5));
        emit tray.findChild<QSystemTrayIcon*>()->activated(reason);
        QCOMPARE(spy.size(), 0);
        if (held != Qt::RightButton)
            QTest::mouseRelease(&icon, held == Qt::NoButton ? Qt::LeftButton : held, {}, QPoint(5, 5));
        QTest::mouseRelease(&icon, Qt::RightButton, {}, release);
        QTest::mouseRelease(&icon, Qt::RightButton, {}, QPoint(5, 5)); // no press before it
        QTest::qWait(20);
        QList<int> seen;
        for (const auto& message : spy)
            seen << message.at(0).toInt();
        QCOMPARE(seen, codes);
        QCOMPARE(spy.first().at(1).toPoint(), QPoint(40, 30));
    }

    // QMenu chooses the item under the pointer on any button's release.
    void popupMenuItemsAreChosenWithTheLeftButton()
    {
        QtNotifyArea tray;
        QMenu menu;
        menu.addAction("&Restore");
        QAction* exit = menu.addAction("&Exit");
        QSignalSpy chosen(exit, &QAction::triggered);
        bool openAfterOtherButtons = false;
        QTimer::singleShot(0, &menu, [&] {
            const QPoint at = menu.actionGeometry(exit).center();
            QTest::mouseClick(&menu, Qt::RightButton, {}, at);
            QTest::mouseClick(&menu, Qt::MiddleButton, {}, at);
            openAfterOtherButtons = menu.isVisible();
            QTest::mouseClick(&menu, Qt::LeftButton, {}, at);
        });
        tray.PopupMenu(&menu, QPoint(100, 100));
        QVERIFY(openAfterOtherButtons);
        QCOMPARE(chosen.size(), 1);
    }

    // The D-Bus tray (a StatusNotifierWatcher with a host) going away while
    // the icon is shown is noticed within the second after.
    void trayGone_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("gone");
        QTest::newRow("the panel ends") << "watcher gone" << 1;
        QTest::newRow("the host leaves, the watcher stays") << "host gone" << 1;
        QTest::newRow("the icon removed, then the panel ends") << "icon removed" << 0;
    }
    void trayGone()
    {
        QFETCH(QString, change);
        QFETCH(int, gone);
        QDBusConnection bus = QDBusConnection::sessionBus();
        StandInWatcher standIn;
        if (!bus.registerObject("/StatusNotifierWatcher", &standIn, QDBusConnection::ExportAllProperties)
            || !bus.registerService("org.kde.StatusNotifierWatcher"))
            QSKIP("no private session bus: run under dbus-run-session");
        QtNotifyArea tray;
        QMenu menu;
        tray.Add(QIcon(), "Orvantis", &menu);
        // No place on the screen: a D-Bus item, which is handed the menu.
        QCOMPARE(tray.findChild<QSystemTrayIcon*>()->contextMenu(), &menu);
        QSignalSpy spy(&tray, &orvantis::NotifyArea::trayGone);
        QTest::qWait(1500); // found there at least once
        if (change == "icon removed")
            tray.Remove();
        if (change == "host gone")
            standIn.hostRegistered = false;
        else
            QVERIFY(bus.unregisterService("org.kde.StatusNotifierWatcher"));
        QTest::qWait(2500);
        QCOMPARE(spy.size(), gone);
        bus.unregisterService("org.kde.StatusNotifierWatcher");
    }

private:
    QList<QUrl> urls_;
    QTemporaryDir files_; // the help file and a document
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
