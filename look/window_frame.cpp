#include "look/window_frame.h"

#include "look/logging.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <utility>

namespace orvantis::look {

namespace {

// The top-left corner nearest to `at` that puts as much of `frame` as fits
// inside `area`, the top-left corner always.
QPoint keptWithin(QPoint at, QSize frame, const QRect& area)
{
    return {std::max(area.left(), std::min(at.x(), area.x() + area.width() - frame.width())),
            std::max(area.top(), std::min(at.y(), area.y() + area.height() - frame.height()))};
}

QPoint centredOver(QSize frame, const QRect& over)
{
    return over.center() - QPoint(frame.width() / 2, frame.height() / 2);
}

// Runs `step` on each event of `type` that `watched` receives until it
// returns true, then goes.
class Until final : public QObject {
public:
    Until(QObject* watched, QEvent::Type type, std::function<bool()> step)
        : QObject(watched), type_(type), step_(std::move(step))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == type_ && step_()) {
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QEvent::Type type_;
    std::function<bool()> step_;
};

// The frame the window will have, as far as it is known: on X11 nothing is
// known of it before the window manager has framed the window, and until
// then a dialog with a title bar borrows the frame of the window that opens
// it.
QMargins expectedFrame(const QWidget* window, const QWidget* opener)
{
    const QMargins own = window->windowHandle()->frameMargins();
    if (!own.isNull() || opener == nullptr || (window->windowFlags() & Qt::FramelessWindowHint)
        || opener->windowHandle() == nullptr)
        return own;
    return opener->windowHandle()->frameMargins();
}

constexpr Qt::WindowStates kLarger = Qt::WindowMaximized | Qt::WindowFullScreen;

// Takes back a maximised or full-screen state. On Wayland the title bar Qt
// draws asks the compositor to maximise before the window hears of it, and
// the compositor's answer cannot be refused: weston ends the connection of
// a window that does not take the size it names. So the window is let take
// that size for a moment (its contents stay as they are), and once it has
// drawn itself at that size, which is when the compositor counts it as
// maximised, it asks for its normal state back and keeps its size again.
class NormalState final : public QObject {
public:
    NormalState(QWidget* window, QWindow* handle) : QObject(handle), window_(window), handle_(handle)
    {
        connect(handle, &QWindow::windowStateChanged, this, &NormalState::release);
        window->installEventFilter(this);
        handle->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == handle_ && (type == QEvent::WindowStateChange || type == QEvent::Resize)) {
            if (handle_->windowStates() & kLarger)
                answered_ = true; // the window system has given the state and its size
            else if (type == QEvent::Resize)
                holdIfBack();
        } else if (watched == window_ && type == QEvent::Paint && answered_) {
            answered_ = false;
            QMetaObject::invokeMethod(this, &NormalState::revert, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void release()
    {
        const Qt::WindowStates states = handle_->windowStates();
        if (!(states & kLarger) || released_)
            return;
        qCInfo(lcPlacement) << window_->objectName() << "keeps its size: refused" << states;
        released_ = true;
        handle_->setMinimumSize(QSize(0, 0));
        handle_->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
    void revert()
    {
        handle_->setWindowStates(handle_->windowStates() & ~kLarger);
        holdIfBack();
    }
    void holdIfBack()
    {
        const QSize size = handle_->size();
        if (released_ && !(handle_->windowStates() & kLarger)
            && size.boundedTo(window_->maximumSize()).expandedTo(window_->minimumSize()) == size) {
            released_ = false;
            handle_->setMinimumSize(window_->minimumSize());
            handle_->setMaximumSize(window_->maximumSize());
        }
    }

    QWidget* window_;
    QWindow* handle_;
    bool released_ = false;
    bool answered_ = false;
};

void logMove(const QWidget* window, const char* why, QPoint from, QPoint to, const QRect& area)
{
    qCInfo(lcPlacement).nospace() << window->objectName() << ' ' << why << ": frame moved from "
                                  << from << " to " << to << " to stay within " << area;
}

// Once the window is framed: should the frame now reach past an edge of
// `area`, it is brought back.
void keepFramedWindowWithin(QWidget* window, const QRect& area)
{
    const QRect frame = window->windowHandle()->frameGeometry();
    const QPoint at = keptWithin(frame.topLeft(), frame.size(), area);
    if (at == frame.topLeft())
        return;
    logMove(window, "once framed", frame.topLeft(), at, area);
    // By the window's own position: the widget's idea of its frame may still
    // be the one from before the window manager framed it.
    const QMargins margins = window->windowHandle()->frameMargins();
    window->windowHandle()->setPosition(at + QPoint(margins.left(), margins.top()));
}

void place(QWidget* window)
{
    QWindow* handle = window->windowHandle();
    const QWidget* opener = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = (opener != nullptr ? opener : window)->screen();
    if (handle == nullptr || screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins expected = expectedFrame(window, opener);
    const QSize frame = window->size().grownBy(expected);
    const QRect over = opener != nullptr ? opener->frameGeometry() : area;
    const QPoint centred = centredOver(frame, over);
    const QPoint at = placedFrame(frame, over, area);
    if (at != centred)
        logMove(window, "when shown", centred, at, area);
    // move() places the frame that Qt knows of, which on X11 is none yet.
    const QMargins unknown = expected - handle->frameMargins();
    window->move(at + QPoint(unknown.left(), unknown.top()));
    new Until(handle, QEvent::Expose, [window, handle, area] {
        if (!handle->isExposed())
            return false;
        keepFramedWindowWithin(window, area);
        return true;
    });
}

} // namespace

QPoint placedFrame(QSize frame, const QRect& over, const QRect& area)
{
    return keptWithin(centredOver(frame, over), frame, area);
}

void placeWhenFirstShown(QWidget* window)
{
    // A Wayland compositor places windows itself and tells no one where.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        qCInfo(lcPlacement) << window->objectName() << "is placed by the Wayland compositor";
        return;
    }
    new Until(window, QEvent::Show, [window] {
        place(window);
        return true;
    });
}

void keepNormalState(QWidget* window)
{
    new Until(window, QEvent::Show, [window] {
        if (window->windowHandle() == nullptr)
            return false;
        new NormalState(window, window->windowHandle());
        return true;
    });
}

} // namespace orvantis::look
