// Help window, URL opener and message boxes, on the off-screen platform.
#include "platform/desktop_url_opener.h"
#include "platform/help_browser.h"
#include "platform/message_boxes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

using orvantis::DesktopUrlOpener;

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray helpPage()
{
    QByteArray html = "<html><head><title>Orvantis Help Contents</title></head><body>"
                      "<h1>Contents</h1><p><a href=\"#last\">Go to the last topic</a></p>"
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
    const QRect place = window->cursorRect(cursor);
    QTest::mouseClick(window->viewport(), Qt::LeftButton, {}, place.center() - QPoint(2, 0));
}

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

    void helpWindowShowsTheFileFromItsStart()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Hilfe für Orvantis");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/Orvantis.hlp";
        orvantis::HelpBrowser help;

        help.ShowContents(path); // not there yet
        QTextBrowser* window = help.window();
        QVERIFY(window && window->isVisible() && !window->isModal());
        QCOMPARE(window->windowTitle(), "Orvantis Help");
        QVERIFY(window->toPlainText().startsWith("The help file could not be opened: " + path));
        QVERIFY(window->toPlainText().contains("does not exist"));

        for (int round = 0; round < 2; ++round) { // shown, gone, back again
            writeFile(path, helpPage());
            help.ShowContents(path);
            QCOMPARE(window->documentTitle(), "Orvantis Help Contents");
            QVERIFY(window->toPlainText().contains("Filler paragraph 199"));
            if (round == 0) {
                QVERIFY(QFile::remove(path));
                help.ShowContents(path);
                QVERIFY(window->toPlainText().startsWith("The help file could not be opened"));
            }
        }

        window->scrollToAnchor("last");
        QVERIFY(window->verticalScrollBar()->value() > 0);
        window->close();
        help.ShowContents(path);
        QCOMPARE(help.window(), window); // the same window again, back at the start
        QVERIFY(window->isVisible());
        QCOMPARE(window->verticalScrollBar()->value(), 0);
    }

    void helpLinksInsideTheFileAndOut()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("Orvantis.hlp"), helpPage());
        orvantis::HelpBrowser help;
        help.ShowContents(dir.filePath("Orvantis.hlp"));
        QTextBrowser* window = help.window();
        clickText(window, "Go to the last topic");
        QVERIFY(window->verticalScrollBar()->value() > 0);
        QVERIFY(catcher_.urls.isEmpty());
        clickText(window, "Orvantis on the web");
        QCOMPARE(catcher_.urls, QList<QUrl>{QUrl("https://example.com/more")});
    }

    void helpWindowSaysWhyAFileCannotBeShown()
    {
        QTemporaryDir dir;
        orvantis::HelpBrowser help;
        help.ShowContents(dir.path());
        QCOMPARE(help.window()->toPlainText(),
                 "The help file could not be opened: " + dir.path() + "\n\nIt is a folder, not a file.");
    }

    void helpFileIsBesideTheProgramNotInTheWorkingFolder()
    {
        QTemporaryDir dir;
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString path = orvantis::helpFilePath();
        QDir::setCurrent(saved);
        QCOMPARE(path, QCoreApplication::applicationDirPath() + "/Orvantis.hlp");
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
        const auto result = DesktopUrlOpener().Open(text);
        QVERIFY(result.issued);
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
        QVERIFY(!result.issued);
        QCOMPARE(result.errorNumber, number);
        QVERIFY(!result.description.isEmpty());
        QVERIFY(catcher_.urls.isEmpty());
    }

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
        QString seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(int(box->icon()))
                       .arg(box->windowTitle(), box->text())
                       .arg(int(box->standardButtons()))
                       .arg(int(box->textFormat()));
            box->accept();
        });
        poll.start(10);
        const QString text = "Unable to load '<b>x</b>'";
        orvantis::WidgetMessageBoxes boxes;
        if (plain)
            boxes.Plain(nullptr, "Orvantis", text);
        else
            boxes.Information(nullptr, "Orvantis", text);
        QCOMPARE(seen, QStringLiteral("%1|Orvantis|%2|%3|%4")
                           .arg(icon)
                           .arg(text)
                           .arg(int(QMessageBox::Ok))
                           .arg(int(Qt::PlainText)));
    }

private:
    UrlCatcher catcher_;
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
