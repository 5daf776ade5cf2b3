// Help window, URL opener, message boxes and the notification-area service,
// on the off-screen platform. The real tray and the task list are exercised
// by the desktop suite (tests/desktop).
#include "platform/desktop_url_opener.h"
#include "platform/help_browser.h"
#include "platform/message_boxes.h"
#include "platform/qt_notify_area.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

#include <sys/stat.h>

using orvantis::DesktopUrlOpener;
using orvantis::QtNotifyArea;
using orvantis::TrayKind;
using Reason = QSystemTrayIcon::ActivationReason;

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
}

QByteArray helpPage()
{
    QByteArray html = "<html><body><h1>Contents</h1><p><a href=\"#last\">Go to the last topic</a></p>"
                      "<p><a href=\"https://example.com/more\">Orvantis on the web</a></p>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Filler paragraph " + QByteArray::number(i) + "</p>";
    return html + "<h2><a name=\"last\">Last topic</a></h2></body></html>";
}

// Clicks the middle of the first character of `text` in the window.
void clickText(QTextBrowser* window, const QString& text)
{
    QTextCursor cursor = window->document()->find(text);
    QVERIFY(!cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 1);
    QTest::mouseClick(window->viewport(), Qt::LeftButton, {}, window->cursorRect(cursor).center() - QPoint(2, 0));
}

QIcon redSquare()
{
    QPixmap square(16, 16);
    square.fill(Qt::red);
    return QIcon(square);
}

enum HelpProblem { Missing, Folder, Pipe };

} // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        for (const char* scheme : {"mailto", "https", "file"})
            QDesktopServices::setUrlHandler(scheme, &catcher_, "open");
        catcher_.urls.clear();
    }
    void cleanup()
    {
        for (const char* scheme : {"mailto", "https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }

    // Shown from its start in a window of its own; links inside the file are
    // followed there, others go to the desktop; a file gone and back is shown again.
    void helpWindow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Hilfe für Orvantis/Orvantis.hlp");
        QVERIFY(QDir().mkpath(dir.filePath("Hilfe für Orvantis")));
        writeFile(path, helpPage());
        orvantis::HelpBrowser help;
        help.ShowContents(path);
        QTextBrowser* window = help.window();
        QVERIFY(window && window->isVisible() && !window->isModal());
        clickText(window, "Go to the last topic");
        QVERIFY(window->verticalScrollBar()->value() > 0);
        QVERIFY(catcher_.urls.isEmpty());
        clickText(window, "Orvantis on the web");
        QCOMPARE(catcher_.urls, QList<QUrl>{QUrl("https://example.com/more")});

        QVERIFY(QFile::remove(path));
        help.ShowContents(path);
        QVERIFY(window->toPlainText().startsWith("The help file could not be opened"));
        writeFile(path, helpPage());
        help.ShowContents(path);
        QVERIFY(window->toPlainText().contains("Filler paragraph 199"));

        window->scrollToAnchor("last");
        QVERIFY(window->verticalScrollBar()->value() > 0);
        window->close();
        help.ShowContents(path);
        QCOMPARE(help.window(), window); // the same window again, back at the start
        QVERIFY(window->isVisible());
        QCOMPARE(window->verticalScrollBar()->value(), 0);
    }

    // Beside the program, wherever it was started from.
    void helpFileLiesBesideTheProgram()
    {
        QTemporaryDir elsewhere;
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const QString path = orvantis::helpFilePath();
        QDir::setCurrent(started);
        QCOMPARE(path, QStringLiteral(PROGRAM_DIR "/Orvantis.hlp"));
    }

    void helpWindowSaysWhyAFileCannotBeShown_data()
    {
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << int(Missing) << "The file does not exist.";
        QTest::newRow("folder") << int(Folder) << "It is a folder, not a file.";
        QTest::newRow("pipe, which must not block") << int(Pipe) << "It is not an ordinary file.";
    }
    void helpWindowSaysWhyAFileCannotBeShown()
    {
        QFETCH(int, problem);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = problem == Folder ? dir.path() : dir.filePath("Orvantis.hlp");
        if (problem == Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        orvantis::HelpBrowser help;
        help.ShowContents(path);
        QCOMPARE(help.window()->toPlainText(), "The help file could not be opened: " + path + "\n\n" + reason);
    }

    // The text reaches the desktop as given: nothing added, trimmed or run
    // through a shell; only the percent-encoding that a URL needs.
    void urlReachesTheDesktopUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("mail link") << "mailto:someone@example.com?subject=Inquiry";
        QTest::newRow("shell characters") << "https://example.com/a b?q=\"x\";y=$(rm -rf ~)&z='1'`id`|&";
        QTest::newRow("non-ASCII") << "mailto:zoë@exämple.com?subject=Grüße aus Köln";
    }
    void urlReachesTheDesktopUnchanged()
    {
        QFETCH(QString, text);
        QVERIFY(DesktopUrlOpener().Open(text).issued);
        QCOMPARE(catcher_.urls.size(), 1);
        QCOMPARE(catcher_.urls[0], QUrl(text, QUrl::TolerantMode));
        QCOMPARE(QUrl::fromPercentEncoding(catcher_.urls[0].toEncoded()), text);
    }

    void documentPathOpensAsAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a document ü.txt");
        writeFile(path, "text");
        QVERIFY(DesktopUrlOpener().Open(path).issued);
        QCOMPARE(catcher_.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    }

    void requestThatCannotBeMadeIsReported_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("empty") << "" << DesktopUrlOpener::kInvalidAddress;
        QTest::newRow("blank host") << "https://exa mple.com/" << DesktopUrlOpener::kInvalidAddress;
        QTest::newRow("no scheme, no such file") << "www.example.com" << DesktopUrlOpener::kInvalidAddress;
        QTest::newRow("no program for it") << "orvantis-nothing:at-all" << DesktopUrlOpener::kNoProgram;
    }
    void requestThatCannotBeMadeIsReported()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        if (number == DesktopUrlOpener::kNoProgram)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not support"));
        const auto result = DesktopUrlOpener().Open(text);
        QVERIFY(!result.issued && !result.description.isEmpty());
        QCOMPARE(result.errorNumber, number);
        QVERIFY(catcher_.urls.isEmpty());
    }

    // Markup in the text is shown as it is, not interpreted.
    void messageBoxes_data()
    {
        QTest::addColumn<bool>("plain");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << false << int(QMessageBox::Information);
        QTest::newRow("plain") << true << int(QMessageBox::NoIcon);
    }
    void messageBoxes()
    {
        QFETCH(bool, plain);
        QFETCH(int, icon);
        QList<int> seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen = {int(box->icon()), int(box->standardButtons()), int(box->textFormat()),
                        int(box->windowTitle() == "Orvantis" && box->text() == "<b>x</b>")};
                box->accept();
            }
        });
        poll.start(10);
        orvantis::WidgetMessageBoxes boxes;
        if (plain)
            boxes.Plain(nullptr, "Orvantis", "<b>x</b>");
        else
            boxes.Information(nullptr, "Orvantis", "<b>x</b>");
        QCOMPARE(seen, (QList<int>{icon, int(QMessageBox::Ok), int(Qt::PlainText), 1}));
    }

    // The window acts on 515 (restore) and 517 (menu) only.
    void iconMessages_data()
    {
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<TrayKind>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("xembed single click") << QSystemTrayIcon::Trigger << TrayKind::XEmbed << 514;
        QTest::newRow("xembed double click") << QSystemTrayIcon::DoubleClick << TrayKind::XEmbed << 515;
        QTest::newRow("xembed right press") << QSystemTrayIcon::Context << TrayKind::XEmbed << 516;
        QTest::newRow("xembed middle click") << QSystemTrayIcon::MiddleClick << TrayKind::XEmbed << 520;
        QTest::newRow("xembed unknown") << QSystemTrayIcon::Unknown << TrayKind::XEmbed << 512;
        QTest::newRow("sni activate") << QSystemTrayIcon::Trigger << TrayKind::StatusNotifier << 515;
        QTest::newRow("sni double click") << QSystemTrayIcon::DoubleClick << TrayKind::StatusNotifier << 515;
        QTest::newRow("sni context menu") << QSystemTrayIcon::Context << TrayKind::StatusNotifier << 517;
        QTest::newRow("sni secondary activate") << QSystemTrayIcon::MiddleClick << TrayKind::StatusNotifier << 520;
        QTest::newRow("sni unknown") << QSystemTrayIcon::Unknown << TrayKind::StatusNotifier << 512;
    }
    void iconMessages()
    {
        QFETCH(Reason, reason);
        QFETCH(TrayKind, kind);
        QFETCH(int, code);
        QCOMPARE(orvantis::iconMessageFor(reason, kind), code);
    }

    void offscreenHasNoTrayAndNoTaskList()
    {
        QtNotifyArea tray;
        QWidget window;
        window.show();
        QVERIFY(!tray.IsAvailable());
        QVERIFY(!tray.SetSkipTaskbar(&window, true));
        QVERIFY(!tray.SetSkipTaskbar(nullptr, true));
        tray.SetForegroundWindow(nullptr);
        tray.PopupMenu(nullptr, QPoint(1, 1));
    }

    void addReplacesAndRemoveIsHarmlessTwice()
    {
        QtNotifyArea tray;
        tray.Remove();
        tray.Add(redSquare(), "Orvantis", nullptr);
        tray.Add(QIcon(), "Orvantis - Lumevarre", nullptr);
        const auto icons = tray.findChildren<QSystemTrayIcon*>();
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first()->toolTip(), "Orvantis - Lumevarre");
        QVERIFY(!icons.first()->icon().isNull()); // a stand-in for a window without an icon
        tray.Remove();
        tray.Remove();
        QVERIFY(!tray.IsPresent());
        tray.Add(redSquare(), "again", nullptr);
        QVERIFY(tray.IsPresent());
    }

    // Posted rather than sent from inside Qt's click handling, where the
    // window removing the icon would destroy the widget handling the click.
    void activationIsPostedWithThePointer()
    {
        QtNotifyArea tray;
        tray.Add(redSquare(), "Orvantis", nullptr);
        QSignalSpy spy(&tray, &QtNotifyArea::iconMessage);
        QCursor::setPos(40, 30);
        emit tray.findChild<QSystemTrayIcon*>()->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(spy.size(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.first().at(0).toInt(), 515);
        QCOMPARE(spy.first().at(1).toPoint(), QCursor::pos());
    }

    // Qt reports the right button on an XEmbed icon at its press; the
    // release over the icon (whose widget has the pointer grabbed by then)
    // is the menu request.
    void rightButtonReleaseOverTheIcon_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("over the icon") << QPoint(5, 5) << QList<int>{516, 517};
        QTest::newRow("dragged off") << QPoint(40, 5) << QList<int>{516};
    }
    void rightButtonReleaseOverTheIcon()
    {
        QFETCH(QPoint, at);
        QFETCH(QList<int>, codes);
        QtNotifyArea tray;
        tray.Add(redSquare(), "Orvantis", nullptr);
        QSignalSpy spy(&tray, &QtNotifyArea::iconMessage);
        QWidget icon;
        icon.resize(22, 22);
        emit tray.findChild<QSystemTrayIcon*>()->activated(QSystemTrayIcon::Context);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&icon, Qt::RightButton, {}, at);
        QTest::mouseRelease(&icon, Qt::RightButton, {}, QPoint(5, 5)); // no press before it
        QTest::qWait(20);
        QList<int> seen;
        for (const auto& message : spy)
            seen << message.at(0).toInt();
        QCOMPARE(seen, codes);
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

private:
    UrlCatcher catcher_;
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
