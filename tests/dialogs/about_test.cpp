#include "dialogs/frmabout.h"
#include "dialogs/urllink.h"
#include "fakes.h"
#include "platform/services.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace orvantis;
using namespace orvantis::testing;

namespace {

QWidget* part(QWidget* about, const char* name) { return about->findChild<QWidget*>(QString::fromLatin1(name)); }
QLabel* version(QWidget* about) { return qobject_cast<QLabel*>(part(about, "Label1")); }

using Step = std::function<void(QWidget*)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class AboutTest : public QObject {
    Q_OBJECT

    FakeUrlOpener opener;
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

    void linkShowsAndOpensTheDefaults()
    {
        opener.opened.clear();
        frmAbout about(services);
        QCOMPARE(qobject_cast<URLLink*>(part(&about, "URLLink1"))->Text(), QString::fromLatin1(URLLink::DefaultText));
        QCOMPARE(part(&about, "lblURL")->toolTip(), QString::fromLatin1(URLLink::DefaultURL));
        QTest::mousePress(part(&about, "lblURL"), Qt::LeftButton);
        QCOMPARE(opener.opened, QStringList{QString::fromLatin1(URLLink::DefaultURL)});
    }

    void doubleClickOnPictureShowsOneLineCredit()
    {
        frmAbout about(services);
        const QString family = version(&about)->font().family();
        QTest::mouseDClick(part(&about, "Image1"), Qt::LeftButton);
        const QLabel* label = version(&about);
        QVERIFY(label->text().contains(QString::fromLatin1(URLLink::DefaultText)));
        QVERIFY(!label->text().contains('\n'));
        QCOMPARE(label->font().pointSizeF(), 9.0);
        QCOMPARE(label->font().family(), family);
        QVERIFY(label->font().bold());
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width());
    }

    // Credit, close, open again: the version text is back.
    void eachOpeningStartsAfresh()
    {
        QWidget owner;
        owner.setGeometry(200, 150, 640, 480);
        owner.show();
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, this, [&] {
                QWidget* about = QApplication::activeModalWidget();
                const QPoint offset = about->geometry().center() - owner.geometry().center();
                seen << version(about)->text() + " " + QString::number(version(about)->font().pointSizeF())
                            + (qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4 ? " centred" : " off centre");
                QTest::mouseDClick(part(about, "Image1"), Qt::LeftButton);
                about->close();
            });
            frmAbout::showModal(&owner, services);
        }
        QCOMPARE(seen, QStringList(2, QStringLiteral("Orvantis v 1.02 13.5 centred")));
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
