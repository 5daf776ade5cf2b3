#include "platform/x11_task_list.h"

#include "platform/logging.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#if defined(ORVANTIS_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#endif

namespace orvantis::x11 {

#if defined(ORVANTIS_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> own(Reply* reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    const auto reply = own(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

struct Atoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skip = XCB_ATOM_NONE;
};

Atoms atoms(xcb_connection_t* c)
{
    return {internAtom(c, "_NET_WM_STATE"), internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR")};
}

// Rewrites the window's _NET_WM_STATE with the skip atom added or taken out,
// keeping every other state in it. This is how a client sets the state of a
// window that is not mapped; the window manager reads it at the next map.
void writeState(QWidget* window, bool skip)
{
    xcb_connection_t* c = connection();
    const Atoms atom = c ? atoms(c) : Atoms{};
    if (atom.state == XCB_ATOM_NONE || atom.skip == XCB_ATOM_NONE)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    std::vector<xcb_atom_t> states;
    const auto reply = own(xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, atom.state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        for (int i = 0; i < count; ++i)
            if (values[i] != atom.skip)
                states.push_back(values[i]);
    }
    if (skip)
        states.push_back(atom.skip);
    if (states.empty())
        xcb_delete_property(c, id, atom.state);
    else
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom.state, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(c);
}

// Asks the window manager, which owns the state of a window it manages
// (shown or minimised), to add or remove the skip atom.
void askWindowManager(QWidget* window, bool skip)
{
    xcb_connection_t* c = connection();
    const Atoms atom = c ? atoms(c) : Atoms{};
    if (atom.state == XCB_ATOM_NONE || atom.skip == XCB_ATOM_NONE)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto geometry = own(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!geometry)
        return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom.state;
    message.data.data32[0] = skip ? 1 : 0; // _NET_WM_STATE_ADD : _NET_WM_STATE_REMOVE
    message.data.data32[1] = atom.skip;
    message.data.data32[3] = 1; // the request comes from an application
    xcb_send_event(c, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

// Rides along as a child of the window and applies the wanted state each
// time the window is shown. The window manager drops a window's state when
// the window is withdrawn (hidden), and the Extended Window Manager Hints
// (EWMH) give two ways to set it again: a client writes the property of a
// withdrawn window itself, which the window manager reads when the window
// is mapped; the state of a mapped window it asks for with a message to the
// root window. The Show event comes while the window is about to be mapped:
// the property is written then, and the message follows once the event loop
// runs again, so the state holds whichever of the two the window manager
// goes by.
class SkipTaskbarKeeper final : public QObject {
public:
    static constexpr const char* kName = "orvantis-skip-taskbar";

    explicit SkipTaskbarKeeper(QWidget* window) : QObject(window), window_(window)
    {
        setObjectName(QLatin1String(kName));
        window->installEventFilter(this);
    }
    bool skip = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || watched != window_)
            return false;
        if (!event->spontaneous()) // not the window manager showing a minimised window
            writeState(window_, skip);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (window_->isVisible())
                    askWindowManager(window_, skip);
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

bool systemTrayOwned()
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    // The screen number of $DISPLAY, as the connection was made with it.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    const bool parsed = xcb_parse_display(nullptr, &host, &display, &screen) != 0;
    std::free(host);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(parsed ? screen : 0);
    const xcb_atom_t selection = internAtom(c, name.c_str());
    if (selection == XCB_ATOM_NONE)
        return false;
    const auto reply = own(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

bool setSkipTaskbar(QWidget* window, bool skip)
{
    if (!window)
        return false;
    if (!connection()) {
        qCInfo(lcDesktop) << "not an X11 session: the window keeps its task-list entry";
        return false;
    }
    auto* keeper = dynamic_cast<SkipTaskbarKeeper*>(window->findChild<QObject*>(
        QLatin1String(SkipTaskbarKeeper::kName), Qt::FindDirectChildrenOnly));
    if (!keeper)
        keeper = new SkipTaskbarKeeper(window);
    keeper->skip = skip;
    if (window->isVisible())
        askWindowManager(window, skip);
    else
        writeState(window, skip);
    return true;
}

#else

bool setSkipTaskbar(QWidget*, bool)
{
    qCInfo(lcDesktop) << "built without X11: the window keeps its task-list entry";
    return false;
}

bool systemTrayOwned()
{
    return false;
}

#endif

} // namespace orvantis::x11
