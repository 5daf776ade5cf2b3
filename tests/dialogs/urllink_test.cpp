#include "dialogs/property_bag.h"
#include "dialogs/urllink.h"
#include "fakes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace orvantis;
using namespace orvantis::testing;

namespace {

const QString defaultText = QString::fromLatin1(URLLink::DefaultText);
const QString defaultUrl = QString::fromLatin1(URLLink::DefaultURL);
const QString annUrl = QStringLiteral("mailto:ann@example.org");

QLabel* label(URLLink& link) { return link.findChild<QLabel*>(QStringLiteral("lblURL")); }

QString reported(const QSignalSpy& spy)
{
    QStringList names;
    for (const QList<QVariant>& call : spy)
        names << call.at(0).toString();
    return names.join(',');
}

// Remembers the order of writes.
class RecordingBag final : public PropertyBag {
public:
    QVariant read(const QString&, const QVariant& fallback) const override { return fallback; }
    void write(const QString& name, const QVariant& value, const QVariant& fallback) override
    {
        order << name;
        inner.write(name, value, fallback);
    }
    QStringList order;
    MemoryPropertyBag inner;
};

using Step = std::function<void(URLLink&)>;

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(orvantis::UrlOpener::Result)

class URLLinkTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        while (QGuiApplication::overrideCursor() != nullptr)
            QGuiApplication::restoreOverrideCursor();
    }

    void textPlacesLabelAtOriginSizedToText()
    {
        URLLink link;
        link.setURL(annUrl);
        link.setShowToolTip(true);
        for (const QString& text : {QStringLiteral("Ann"), QStringLiteral("Wider than the control, surely")}) {
            QSignalSpy spy(&link, &URLLink::propertyChanged);
            link.setText(text);
            const QFontMetrics metrics(label(link)->font());
            QCOMPARE(label(link)->geometry(), QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()));
            QCOMPARE(reported(spy), QStringLiteral("Text"));
            QCOMPARE(label(link)->toolTip(), annUrl); // untouched
        }
    }

    void toolTipFollowsUrlAndFlag_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("changes");
        QTest::newRow("URL while off")
            << Step([](URLLink& l) { l.setShowToolTip(false); l.setURL(annUrl); }) << QString()
            << QStringLiteral("ShowToolTip,URL");
        QTest::newRow("on again shows current URL")
            << Step([](URLLink& l) { l.setShowToolTip(false); l.setURL(annUrl); l.setShowToolTip(true); })
            << annUrl << QStringLiteral("ShowToolTip,URL,ShowToolTip");
        QTest::newRow("URL while on") << Step([](URLLink& l) { l.setURL(annUrl); }) << annUrl
                                      << QStringLiteral("URL");
    }
    void toolTipFollowsUrlAndFlag()
    {
        QFETCH(Step, step);
        QFETCH(QString, toolTip);
        QFETCH(QString, changes);
        URLLink link;
        link.UserControl_InitProperties();
        QSignalSpy spy(&link, &URLLink::propertyChanged);
        step(link);
        QCOMPARE(label(link)->toolTip(), toolTip);
        QCOMPARE(reported(spy), changes);
    }

    // A new instance and one read from a layout that stores nothing (or
    // something unusable) end alike; the URL is stored without a report.
    void readsLayout_data()
    {
        QTest::addColumn<QString>("name"); // stored beside Text "Ann" and Ann's URL
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("flag");
        const QString flag = QStringLiteral("ShowToolTip");
        QTest::newRow("false") << flag << QVariant(false) << true << false;
        QTest::newRow("text False") << flag << QVariant("False") << true << false;
        QTest::newRow("all bits set") << flag << QVariant(-1) << true << true;
        QTest::newRow("flag not a Boolean") << flag << QVariant("maybe") << false << true;
        QTest::newRow("flag of no type") << flag << QVariant() << false << true;
        QTest::newRow("URL a list") << QStringLiteral("URL") << QVariant(QVariantList{1, 2}) << false << true;
    }
    void readsLayout()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(bool, valid);
        QFETCH(bool, flag);
        for (const bool empty : {true, false}) {
            MemoryPropertyBag bag;
            if (!empty) {
                bag.write("Text", "Ann", defaultText);
                bag.write("URL", annUrl, defaultUrl);
                bag.write(name, value, QStringLiteral("-"));
            }
            URLLink link;
            QSignalSpy spy(&link, &URLLink::propertyChanged);
            link.UserControl_ReadProperties(bag);
            const bool defaults = empty || !valid;
            QCOMPARE(link.Text(), defaults ? defaultText : QStringLiteral("Ann"));
            QCOMPARE(link.URL(), defaults ? defaultUrl : annUrl);
            QCOMPARE(link.ShowToolTip(), defaults || flag);
            QCOMPARE(label(link)->toolTip(), link.ShowToolTip() ? link.URL() : QString());
            QCOMPARE(label(link)->pos(), QPoint(0, 0));
            if (defaults)
                QVERIFY(reported(spy).endsWith("Text,ShowToolTip"));
        }
    }

    void writesOnlyWhatDiffersFromTheDefaults()
    {
        URLLink link;
        link.UserControl_InitProperties();
        RecordingBag bag;
        link.UserControl_WriteProperties(bag);
        QCOMPARE(bag.order, (QStringList{"Text", "URL", "ShowToolTip"}));
        QCOMPARE(bag.inner.size(), 0);

        link.setText("Ann");
        link.setURL(annUrl);
        link.setShowToolTip(false);
        link.UserControl_WriteProperties(bag.inner);
        URLLink copy;
        copy.UserControl_ReadProperties(bag.inner);
        QCOMPARE(bag.inner.size(), 3);
        QCOMPARE(copy.Text() + copy.URL() + QString::number(copy.ShowToolTip()), "Ann" + annUrl + "0");

        link.setShowToolTip(true); // back at its default, the entry goes
        link.UserControl_WriteProperties(bag.inner);
        QVERIFY(!bag.inner.contains("ShowToolTip"));
    }

    void pressOpens_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("handler"); // "cancel", a replacement URL, or ""
        QTest::addColumn<UrlOpener::Result>("result");
        QTest::addColumn<QString>("throwWith");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("pointerKept"); // the pointer set before the press is left alone
        const UrlOpener::Result fine;
        const UrlOpener::Result refused{false, QStringLiteral("No program for it"), 31};
        const QString other = QStringLiteral("mailto:other@example.org");
        const QString unable = QStringLiteral("plain|Orvantis|Unable to load '%1' : %2 (Error %3)");
        QTest::newRow("right") << Qt::RightButton << "" << fine << "" << QStringList() << "" << false;
        QTest::newRow("middle") << Qt::MiddleButton << "" << fine << "" << QStringList() << "" << false;
        QTest::newRow("cancelled") << Qt::LeftButton << "cancel" << fine << "" << QStringList() << "" << true;
        QTest::newRow("opened") << Qt::LeftButton << "" << fine << "" << QStringList{defaultUrl} << "" << false;
        QTest::newRow("refused") << Qt::LeftButton << "" << refused << "" << QStringList{defaultUrl}
                                 << unable.arg(defaultUrl, refused.description, "31") << false;
        QTest::newRow("replaced, refused") << Qt::LeftButton << other << refused << "" << QStringList{other}
                                           << unable.arg(other, refused.description, "31") << false;
        QTest::newRow("opener throws") << Qt::LeftButton << "" << fine << "out of handles"
                                       << QStringList{defaultUrl}
                                       << unable.arg(defaultUrl, "out of handles", "0") << false;
    }
    void pressOpens()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, handler);
        QFETCH(UrlOpener::Result, result);
        QFETCH(QString, throwWith);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        QFETCH(bool, pointerKept);
        FakeUrlOpener opener;
        opener.result = result;
        opener.throwWith = throwWith;
        FakeMessageBoxes messages;
        URLLink link;
        link.setDesktop(&opener, &messages);
        link.UserControl_InitProperties();
        link.setGoToUrlHandler([&](GoToURLEvent& event) {
            QCOMPARE(event.URL, defaultUrl);
            if (handler == "cancel")
                event.Cancel = true;
            else if (!handler.isEmpty())
                event.URL = handler;
        });
        QGuiApplication::setOverrideCursor(Qt::CrossCursor); // left over from elsewhere

        QTest::mousePress(label(link), button);

        QCOMPARE(opener.opened, opened);
        if (!opened.isEmpty())
            QVERIFY(opener.pointerWhileOpening == Qt::WaitCursor);
        QVERIFY(pointerNow() == (pointerKept ? std::optional(Qt::CrossCursor) : std::nullopt));
        QCOMPARE(messages.shown.join('\n'), message);
        QCOMPARE(link.URL(), defaultUrl);
    }

    void onlyThePressOnTheTextCounts()
    {
        FakeUrlOpener opener;
        URLLink link;
        link.setDesktop(&opener, nullptr);
        link.UserControl_InitProperties();
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(300, 200)); // bare surface
        QTest::mouseRelease(label(link), Qt::LeftButton);
        QTest::keyClick(&link, Qt::Key_Return);
        QVERIFY(opener.opened.isEmpty());
        QCOMPARE(label(link)->cursor().hotSpot(), QPoint(13, 5));
        QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(URLLinkTest)
#include "urllink_test.moc"
