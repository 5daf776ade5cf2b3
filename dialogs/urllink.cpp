#include "dialogs/urllink.h"

#include "dialogs/property_bag.h"
#include "look/look.h"
#include "look/pictures.h"
#include "platform/desktop_services.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>

#include <exception>
#include <optional>

namespace orvantis {

namespace {

const QString textName = QStringLiteral("Text");
const QString urlName = QStringLiteral("URL");
const QString showToolTipName = QStringLiteral("ShowToolTip");

// Sizes in pixels at 96 dpi (a twip is 1/15 of such a pixel).
constexpr QSize designSize(320, 240);         // 4800 x 3600
constexpr QRect labelDesignPlace(10, 8, 35, 19); // 150, 120, 525 x 285

// The application-wide pointer is one setting, not a stack: "default" means
// no override of ours or anyone's is left.
void setDefaultPointer()
{
    while (QGuiApplication::overrideCursor() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

// Shows the hourglass for its lifetime and puts the default pointer back on
// every way out, an exception included.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { setDefaultPointer(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

std::optional<QString> toText(QVariant value)
{
    if (!value.convert(QMetaType::fromType<QString>()))
        return std::nullopt;
    return value.toString();
}

// Stricter than QVariant::toBool, which takes any odd text for True.
std::optional<bool> toBoolean(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool isNumber = false;
        const double number = text.toDouble(&isNumber);
        if (isNumber)
            return number != 0.0;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

URLLink::URLLink(QWidget* parent) : QWidget(parent), lblURL(new QLabel(this))
{
    setObjectName(QStringLiteral("URLLink"));
    // Presses on the link are the link's business, never the host window's.
    setAttribute(Qt::WA_NoMousePropagation);
    look::setPanelColours(this, look::colours::salmon(), look::colours::linkBlue());
    setFont(look::msSansSerif());
    resize(designSize);

    lblURL->setObjectName(QStringLiteral("lblURL"));
    lblURL->setTextFormat(Qt::PlainText);
    lblURL->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    look::setPanelColours(lblURL, look::colours::salmon(), look::colours::linkBlue());
    QFont underlined = look::msSansSerif();
    underlined.setUnderline(true);
    lblURL->setFont(underlined);
    lblURL->setCursor(look::pointingHand());
    lblURL->setText(QStringLiteral("Label1"));
    lblURL->setGeometry(labelDesignPlace);
    lblURL->installEventFilter(this);
}

void URLLink::setDesktop(UrlOpener* opener, MessageBoxes* messages)
{
    opener_ = opener;
    messages_ = messages;
}

void URLLink::setGoToUrlHandler(GoToURLHandler handler)
{
    goToUrl_ = std::move(handler);
}

QString URLLink::Text() const
{
    return lblURL->text();
}

void URLLink::setText(const QString& text)
{
    lblURL->setText(text);
    // The underline does not change the extent, so the label's own metrics
    // serve. Text wider than the control is cut off at its edge.
    const QFontMetrics metrics(lblURL->font());
    lblURL->setGeometry(0, 0, metrics.horizontalAdvance(text), metrics.height());
    Q_EMIT propertyChanged(textName);
}

QString URLLink::URL() const
{
    return url_;
}

void URLLink::setURL(const QString& url)
{
    url_ = url;
    UpdateToolTip();
    Q_EMIT propertyChanged(urlName);
}

bool URLLink::ShowToolTip() const
{
    return showToolTip_;
}

void URLLink::setShowToolTip(bool show)
{
    showToolTip_ = show;
    UpdateToolTip();
    Q_EMIT propertyChanged(showToolTipName);
}

void URLLink::UpdateToolTip()
{
    lblURL->setToolTip(showToolTip_ ? url_ : QString());
}

void URLLink::UserControl_InitProperties()
{
    setText(QString::fromLatin1(DefaultText));
    // Straight into the field: the tooltip follows from ShowToolTip below.
    url_ = QString::fromLatin1(DefaultURL);
    setShowToolTip(true);
}

bool URLLink::readStoredProperties(const PropertyBag& bag)
{
    const std::optional<QString> text = toText(bag.read(textName, QString::fromLatin1(DefaultText)));
    if (!text)
        return false;
    setText(*text);
    // The URL must be in place before ShowToolTip refreshes the tooltip.
    const std::optional<QString> url = toText(bag.read(urlName, QString::fromLatin1(DefaultURL)));
    if (!url)
        return false;
    url_ = *url;
    const std::optional<bool> show = toBoolean(bag.read(showToolTipName, true));
    if (!show)
        return false;
    setShowToolTip(*show);
    return true;
}

void URLLink::UserControl_ReadProperties(const PropertyBag& bag)
{
    bool complete = false;
    try {
        complete = readStoredProperties(bag);
    } catch (const std::exception&) {
        // A store that cannot be read is treated like a damaged entry.
    }
    if (!complete)
        UserControl_InitProperties();
}

void URLLink::UserControl_WriteProperties(PropertyBag& bag) const
{
    bag.write(textName, Text(), QString::fromLatin1(DefaultText));
    bag.write(urlName, url_, QString::fromLatin1(DefaultURL));
    bag.write(showToolTipName, showToolTip_, true);
}

bool URLLink::eventFilter(QObject* watched, QEvent* event)
{
    // Only the press counts, as soon as the button goes down. The second
    // press of a double click arrives as a double-click event and is let go.
    if (watched == lblURL && event->type() == QEvent::MouseButtonPress) {
        lblURL_MouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void URLLink::lblURL_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) {
        setDefaultPointer();
        return;
    }

    GoToURLEvent request{url_, false};
    if (goToUrl_)
        goToUrl_(request);
    if (request.Cancel)
        return;

    const BusyPointer busy;
    UrlOpener::Result result;
    if (opener_ != nullptr) {
        try {
            result = opener_->Open(request.URL);
        } catch (const std::exception& error) {
            result = {false, QString::fromLocal8Bit(error.what()), 0};
        }
    }
    if (!result.issued && messages_ != nullptr) {
        // One pass over the pattern: a "%1" inside the URL stays as it is.
        messages_->Plain(this, look::appTitle(),
                         QStringLiteral("Unable to load '%1' : %2 (Error %3)")
                             .arg(request.URL, result.description, QString::number(result.errorNumber)));
    }
}

} // namespace orvantis
