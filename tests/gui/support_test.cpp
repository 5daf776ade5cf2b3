// The window's helpers without a window: date texts, the report text as
// shown and as laid out on paper, and the settings store that opens late.
#include "harness.h"

#include "look/pictures.h"
#include "mainwindow/date_texts.h"
#include "mainwindow/lazy_settings_store.h"
#include "mainwindow/reading_document.h"
#include "mainwindow/report_model.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace orvantis;

class SupportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A stored birth date as the box shows it, and the box stored again: a
    // date in its full form; anything else (damaged, out of range, not quite
    // the box's form) passed on unchanged both ways, so nothing is lost.
    void birthDateTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedAgain");
        QTest::newRow("old form") << "07/04/76" << "July 04, 1976" << "07/04/1976";
        QTest::newRow("short fields") << "7/4/1976" << "July 04, 1976" << "07/04/1976";
        QTest::newRow("29 -> 2029") << "12/31/29" << "December 31, 2029" << "12/31/2029";
        QTest::newRow("30 -> 1930") << "01/01/30" << "January 01, 1930" << "01/01/1930";
        QTest::newRow("first day") << "01/01/1753" << "January 01, 1753" << "01/01/1753";
        QTest::newRow("leap day") << "02/29/2024" << "February 29, 2024" << "02/29/2024";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("stored as the box shows it") << "July 04, 1976" << "July 04, 1976" << "07/04/1976";
        for (const char* bad : {"garbage", "02/30/2024", "13/01/1976", "01/01/1752", "1/2/345", "07/04/1976x",
                                "March 5, 1925", "December 31, 1752", "February 30, 2024"})
            QTest::newRow(bad) << bad << bad << bad;
    }
    void birthDateTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, storedAgain);
        QCOMPARE(datetext::StoredToDisplay(stored), shown);
        QCOMPARE(datetext::DisplayToStored(shown), storedAgain);
        QCOMPARE(datetext::ParseBirthDateDisplay(shown).has_value(), shown != storedAgain);
    }

    // (Birth dates get their two-digit day through birthDateTexts above.)
    void dayTextHasTwoDigits() { QCOMPARE(datetext::DayDisplay(QDate(1925, 3, 5)), QStringLiteral("March 05")); }

    void reportShownWithBoxLineBreaks()
    {
        QCOMPARE(ReportModel::ForDisplay("\r\nDestiny Number:3\r\n\r\nA\rB"),
                 QStringLiteral("\nDestiny Number:3\n\nA\nB"));
    }

    // A reading on paper is laid out by the blocks marked in it, not by its
    // words: a heading that reads like none is a bold heading, a paragraph
    // that reads like a heading (and holds markup) stays a plain paragraph.
    void documentLaidOutByBlocks()
    {
        using modDestiny::BlockKind;
        const auto document = readingDocument({QStringLiteral("Title"), {}},
                                              {"\r\nZq 5\r\nTerms\r\n\r\nDestiny Number:7<b>",
                                               {{BlockKind::Heading, 2, 6},
                                                {BlockKind::Keywords, 8, 13},
                                                {BlockKind::Paragraph, 17, 36}}});
        QStringList laidOut;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextCharFormat format = block.begin().fragment().charFormat();
            laidOut << block.text() + QStringLiteral(" h%1").arg(block.blockFormat().headingLevel())
                           + (format.fontWeight() >= QFont::Bold ? " bold" : "") + (format.fontItalic() ? " italic" : "");
        }
        QCOMPARE(laidOut, (QStringList{"Title h2 bold", "Zq 5 h3 bold", "Terms h0 italic", "Destiny Number:7<b> h0"}));
    }

    // Sizes the build drew come from its pixels; any other size is drawn from
    // the SVG when asked for.
    void picturesAtAnySize()
    {
        QCOMPARE(look::appPicture(QSize(126, 106), 2).size(), QSize(252, 212));
        QCOMPARE(look::appPicture(QSize(50, 30), 1).size(), QSize(50, 30));
        QCOMPARE(look::appIcon().pixmap(22).size(), QSize(22, 22));
        QVERIFY(look::appIcon().pixmap(22).toImage().pixelColor(11, 11).alpha() > 0);
        QVERIFY(!look::pointingHand().pixmap().isNull());
    }

    void settingsStoreOpensOnFirstUse()
    {
        int opened = 0;
        LazySettingsStore store([&] { ++opened; return std::make_unique<test::RecordingSettingsStore>(); });
        QCOMPARE(opened, 0);
        store.WriteSetting("Orvantis", "StartUp", "StartUpOption", "1");
        QCOMPARE(store.ReadSetting("Orvantis", "Startup", "StartUpOption"), "1");
        QCOMPARE(opened, 1);
    }
};

QTEST_MAIN(SupportTest)
#include "support_test.moc"
