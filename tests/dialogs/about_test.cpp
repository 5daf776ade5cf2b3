#include "../service_doubles.h"
#include "dialogs/frmabout.h"
#include "platform/services.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include <functional>

using namespace orvantis;

namespace {

QWidget* part(QWidget* about, const char* name) { return about->findChild<QWidget*>(QString::fromLatin1(name)); }

using Step = std::function<void(QWidget*)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class AboutTest : public QObject {
    Q_OBJECT

    test::FakeUrls opener;
    Services services{.urls = &opener};

private slots:
    void onlyABackgroundClickCloses_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<bool>("closes");
        const QPoint background(5, 5);
        QTest::newRow("background") << Step([=](QWidget* a) { QTest::mouseClick(a, Qt::LeftButton, {}, background); })
                                    << true;
        for (const char* name : {"Label1", "Image1", "lblURL"})
            QTest::newRow(name) << Step([=](QWidget* a) { QTest::mouseClick(part(a, name), Qt::LeftButton); })
                                << false;
        QTest::newRow("right button")
            << Step([=](QWidget* a) { QTest::mouseClick(a, Qt::RightButton, {}, background); }) << false;
        QTest::newRow("released on the text") << Step([=](QWidget* a) {
            QTest::mousePress(a, Qt::LeftButton, {}, background);
            QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(110, 70));
        }) << false;
        QTest::newRow("Esc") << Step([](QWidget* a) { QTest::keyClick(a, Qt::Key_Escape); }) << false;
    }
    void onlyABackgroundClickCloses()
    {
        QFETCH(Step, step);
        QFETCH(bool, closes);
        frmAbout about(services);
        about.show();
        step(&about);
        QCOMPARE(about.isVisible(), !closes);
    }

    // Each opening is a new panel showing the version until a double click
    // on the picture puts a one-line credit there, bold in the same face and
    // whole; its link opens the team's address.
    void eachOpeningStartsAfresh()
    {
        QWidget owner;
        owner.show();
        QStringList seen;
        opener.opened.clear();
        for (int opening = 0; opening < 2; ++opening) {
            test::answerModal([&] { frmAbout::showModal(&owner, services); }, [&](QWidget* about) {
                auto* label = qobject_cast<QLabel*>(part(about, "Label1"));
                const QString family = label->font().family();
                seen << label->text() + " " + QString::number(label->font().pointSizeF());
                QTest::mouseDClick(part(about, "Image1"), Qt::LeftButton);
                const bool whole = QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width();
                seen << label->text() + " " + QString::number(label->font().pointSizeF())
                            + (label->font().bold() && label->font().family() == family && whole ? " bold, whole" : "");
                QTest::mousePress(part(about, "lblURL"), Qt::LeftButton);
                about->close();
            });
        }
        QCOMPARE(seen, (QStringList{"Orvantis v 1.02 13.5", "By the Orvantis Team 9 bold, whole",
                                    "Orvantis v 1.02 13.5", "By the Orvantis Team 9 bold, whole"}));
        QCOMPARE(opener.opened, QStringList(2, "mailto:hello@orvantis.app?subject=Inquiry"));
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
