// URLLink: one line of underlined blue text that hands its URL to the
// desktop when the left mouse button is pressed on it. The host places it,
// sizes it and calls the persistence operations; it needs nothing else from
// the program.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

namespace orvantis {

class MessageBoxes;
class PropertyBag;
class UrlOpener;

// What the host's GoToURL handler receives before anything is opened. It may
// replace URL (the replaced text is opened; the link's own URL stays as it
// was) or set Cancel to open nothing.
struct GoToURLEvent {
    QString URL;
    bool Cancel = false;
};

class URLLink : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ClassId", "Orvantis.URLLink")
    Q_CLASSINFO("Description.Text", "Text displayed in control")
    Q_CLASSINFO("Description.URL",
                "URL loaded when mouse is clicked over text. May also be a data file that has an "
                "extension registered by an application on your system.")
    Q_CLASSINFO("Description.ShowToolTip",
                "Determines if the URL is displayed in a tooltip when the mouse is parked over "
                "the text")
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(bool ShowToolTip READ ShowToolTip WRITE setShowToolTip)

public:
    // Whom the link names and writes to unless the host's layout says
    // otherwise. Kept here only.
    static constexpr char DefaultText[] = "Orvantis Team";
    static constexpr char DefaultURL[] = "mailto:hello@orvantis.app?subject=Inquiry";

    // The control starts with its design caption and no URL; the host then
    // calls UserControl_InitProperties or UserControl_ReadProperties.
    explicit URLLink(QWidget* parent = nullptr);

    // Where presses are sent. Without an opener a press opens nothing;
    // without message boxes a failed request goes unreported.
    void setDesktop(UrlOpener* opener, MessageBoxes* messages);

    // The GoToURL event. A plain callback rather than a signal: the handler
    // changes the event in place, which a signal would only allow over a
    // direct connection, and there is exactly one host to ask.
    using GoToURLHandler = std::function<void(GoToURLEvent&)>;
    void setGoToUrlHandler(GoToURLHandler handler);

    QString Text() const;
    void setText(const QString& text);
    QString URL() const;
    void setURL(const QString& url);
    bool ShowToolTip() const;
    void setShowToolTip(bool show);

    void UserControl_InitProperties();
    // Reading and writing the host's property store are the control's pair
    // of property procedures: the About window only reads, and the writing
    // half is kept with it although only the tests call it.
    // Any unusable entry (a ShowToolTip that is no Boolean, say) or a failing
    // store gives the defaults of UserControl_InitProperties instead.
    void UserControl_ReadProperties(const PropertyBag& bag);
    void UserControl_WriteProperties(PropertyBag& bag) const;

Q_SIGNALS:
    // A property was assigned; the host marks its layout as changed.
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool readStoredProperties(const PropertyBag& bag);
    void UpdateToolTip();
    void lblURL_MouseDown(Qt::MouseButton button);

    QLabel* lblURL;
    QString url_;
    bool showToolTip_ = false;
    UrlOpener* opener_ = nullptr;
    MessageBoxes* messages_ = nullptr;
    GoToURLHandler goToUrl_;
};

} // namespace orvantis
