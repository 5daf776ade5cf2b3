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

QWidget* part(QWidget* about, const char* name)
{
    return about->findChild<QWidget*>(QString::fromLatin1(name));
}

QLabel* version(QWidget* about) { return qobject_cast<QLabel*>(part(about, "Label1")); }

void click(QWidget* widget, QPoint at = QPoint(2, 2)) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }

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
        QTest::newRow("background") << Step([](QWidget* a) { click(a, QPoint(5, 5)); }) << true;
        QTest::newRow("version") << Step([](QWidget* a) { click(part(a, "Label1")); }) << false;
        QTest::newRow("picture") << Step([](QWidget* a) { click(part(a, "Image1")); }) << false;
        QTest::newRow("link") << Step([](QWidget* a) { click(part(a, "lblURL")); }) << false;
        QTest::newRow("right button") << Step([](QWidget* a) {
            QTest::mouseClick(a, Qt::RightButton, {}, QPoint(5, 5));
        }) << false;
        QTest::newRow("released on the text") << Step([](QWidget* a) {
            QTest::mousePress(a, Qt::LeftButton, {}, QPoint(5, 5));
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
        const QFont before = version(&about)->font();
        QTest::mouseDClick(part(&about, "Image1"), Qt::LeftButton);
        const QLabel* label = version(&about);
        QVERIFY(label->text().contains(QString::fromLatin1(URLLink::DefaultText)));
        QCOMPARE(label->font().pointSizeF(), 9.0);
        QCOMPARE(label->font().family(), before.family());
        QVERIFY(label->font().bold());
        QVERIFY(!label->text().contains('\n'));
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
