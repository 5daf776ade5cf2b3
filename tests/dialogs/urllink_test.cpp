#include "../service_doubles.h"
#include "dialogs/property_bag.h"
#include "dialogs/urllink.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <optional>
#include <stdexcept>

using namespace orvantis;

namespace {

const QString ownUrl = QStringLiteral("mailto:hello@orvantis.app?subject=Inquiry");
const QString annUrl = QStringLiteral("mailto:ann@example.org");

QLabel* label(URLLink& link) { return link.findChild<QLabel*>(QStringLiteral("lblURL")); }

// The override pointer shape at this moment, or nothing when none is set.
std::optional<Qt::CursorShape> pointerNow()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? std::optional(cursor->shape()) : std::nullopt;
}

// One press, on the text or beside it (released on the text): what the
// GoToURL handler does ("cancel", or a URL to open instead) and what the
// opener does ("refuse" or "throw"); then what was opened and the message
// shown.
struct Press {
    Qt::MouseButton button = Qt::LeftButton;
    bool beside = false;
    QString handler = {}, opener = {}, opened = {}, message = {};
};

} // namespace

Q_DECLARE_METATYPE(Press)

class URLLinkTest : public QObject {
    Q_OBJECT

private slots:
    // Each setter reports its property; the tooltip shows the current URL
    // while ShowToolTip is on. Only what differs from the defaults is written.
    void settersReportAndWritesKeepWhatDiffers()
    {
        URLLink link;
        link.UserControl_InitProperties();
        MemoryPropertyBag bag;
        const auto stored = [&bag](const char* name) { return bag.read(name, "-").toString(); };
        link.UserControl_WriteProperties(bag);
        QCOMPARE(stored("Text") + stored("URL") + stored("ShowToolTip"), "---");
        QSignalSpy spy(&link, &URLLink::propertyChanged);
        QStringList toolTips;
        link.setText("Ann");
        toolTips << label(link)->toolTip();
        link.setURL(annUrl);
        toolTips << label(link)->toolTip();
        link.setShowToolTip(false);
        link.UserControl_WriteProperties(bag);
        QCOMPARE(stored("Text") + stored("URL") + stored("ShowToolTip"), "Ann" + annUrl + "false");
        link.setURL(ownUrl);
        toolTips << label(link)->toolTip();
        link.setShowToolTip(true); // back at its default, the entry goes
        toolTips << label(link)->toolTip();
        link.UserControl_WriteProperties(bag);
        QCOMPARE(stored("ShowToolTip"), "-");
        QCOMPARE(toolTips, (QStringList{ownUrl, annUrl, "", ownUrl}));
        QCOMPARE(QList<QVariantList>(spy), (QList<QVariantList>{{"Text"}, {"URL"}, {"ShowToolTip"}, {"URL"},
                                                               {"ShowToolTip"}}));
    }

    // A layout that stores nothing, or anything unusable, gives the defaults;
    // the label sits at the corner, as wide as its text, under the hand.
    void readsLayout_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("expected"); // text|URL|ShowToolTip
        const auto ann = [](const QString& name, const QVariant& value) {
            QVariantMap stored{{"Text", "Ann"}, {"URL", annUrl}};
            stored.insert(name, value);
            return stored;
        };
        const QString defaults = "Orvantis Team|" + ownUrl + "|1";
        QTest::newRow("nothing stored") << QVariantMap() << defaults;
        QTest::newRow("false") << ann("ShowToolTip", false) << "Ann|" + annUrl + "|0";
        QTest::newRow("text False") << ann("ShowToolTip", "False") << "Ann|" + annUrl + "|0";
        QTest::newRow("all bits set") << ann("ShowToolTip", -1) << "Ann|" + annUrl + "|1";
        QTest::newRow("flag not a Boolean") << ann("ShowToolTip", "maybe") << defaults;
        QTest::newRow("flag of no type") << ann("ShowToolTip", QVariant()) << defaults;
        QTest::newRow("URL a list") << ann("URL", QVariantList{1, 2}) << defaults;
    }
    void readsLayout()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, expected);
        MemoryPropertyBag bag;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            bag.write(it.key(), it.value(), "-");
        URLLink link;
        link.UserControl_ReadProperties(bag);
        QCOMPARE(link.Text() + "|" + link.URL() + "|" + QString::number(link.ShowToolTip()), expected);
        QCOMPARE(label(link)->toolTip(), link.ShowToolTip() ? link.URL() : "");
        const QFontMetrics metrics(label(link)->font());
        QCOMPARE(label(link)->geometry(), QRect(0, 0, metrics.horizontalAdvance(link.Text()), metrics.height()));
        QCOMPARE(label(link)->cursor().hotSpot(), QPoint(13, 5));
        QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    }

    // While the opener works the pointer is busy, then the default one.
    void pressOpens_data()
    {
        QTest::addColumn<Press>("press");
        const QString other = QStringLiteral("mailto:other@example.org?subject=%1");
        QTest::newRow("right button") << Press{.button = Qt::RightButton};
        QTest::newRow("beside the text") << Press{.beside = true};
        QTest::newRow("cancelled") << Press{.handler = "cancel"};
        QTest::newRow("opened") << Press{.opened = ownUrl};
        QTest::newRow("replaced, refused") << Press{.handler = other, .opener = "refuse", .opened = other,
            .message = "Plain Orvantis: Unable to load 'mailto:other@example.org?subject=%1' : No program for it (Error 31)"};
        QTest::newRow("opener throws") << Press{.opener = "throw", .opened = ownUrl,
            .message = "Plain Orvantis: Unable to load 'mailto:hello@orvantis.app?subject=Inquiry' : out of handles (Error 0)"};
    }
    void pressOpens()
    {
        QFETCH(Press, press);
        test::FakeUrls urls;
        if (press.opener == "refuse")
            urls.result = {false, QStringLiteral("No program for it"), 31};
        std::optional<Qt::CursorShape> pointerWhileOpening;
        urls.opening = [&] {
            pointerWhileOpening = pointerNow();
            if (press.opener == "throw")
                throw std::runtime_error("out of handles");
        };
        test::FakeMessages messages;
        URLLink link;
        link.setDesktop(&urls, &messages);
        link.UserControl_InitProperties();
        link.setGoToUrlHandler([&](GoToURLEvent& event) {
            QCOMPARE(event.URL, ownUrl);
            event.Cancel = press.handler == "cancel";
            event.URL = press.handler.startsWith("mailto") ? press.handler : event.URL;
        });
        QGuiApplication::setOverrideCursor(Qt::CrossCursor); // left over from elsewhere
        if (press.beside)
            QTest::mousePress(&link, press.button, {}, QPoint(300, 200)); // on the bare surface
        else
            QTest::mousePress(label(link), press.button);
        QTest::mouseRelease(label(link), press.button);
        QCOMPARE(urls.opened.join('\n'), press.opened);
        QVERIFY(pointerWhileOpening
                == (press.opened.isEmpty() ? std::nullopt : std::optional(Qt::WaitCursor)));
        const bool pointerLeftAlone = press.beside || press.handler == "cancel";
        QVERIFY(pointerNow() == (pointerLeftAlone ? std::optional(Qt::CrossCursor) : std::nullopt));
        QCOMPARE(messages.shown.join('\n'), press.message);
        QCOMPARE(link.URL(), ownUrl);
    }
};

QTEST_MAIN(URLLinkTest)
#include "urllink_test.moc"
