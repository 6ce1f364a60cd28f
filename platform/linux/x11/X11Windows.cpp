#include "platform/linux/x11/X11Windows.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace platform::linuxdesk::x11 {

namespace {

using namespace std::chrono_literals;

// ICCCM's IconicState, asked for with WM_CHANGE_STATE.
constexpr std::uint32_t kIconicState = 3;
constexpr std::uint32_t kKeysymControlL = 0xffe3;
constexpr std::uint32_t kKeysymC = 0x0063;
constexpr std::uint32_t kKeysymV = 0x0076;
// How long a window manager may take to activate a window, and an application to take the
// clipboard after its copy keystroke.
constexpr auto kActivationWait = 500ms;
constexpr auto kClipboardWait = 300ms;
constexpr auto kPollInterval = 10ms;
// The longest property read: a title or a client list.
constexpr std::uint32_t kMaxPropertyWords = 1 << 16;

// The last active window that was neither Velmora's nor a panel's, as the watch saw it.
std::optional<Window> gLastOther;

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <typename Reply> Owned<Reply> own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

xcb_connection_t* connection() {
    auto* application =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return application ? application->connection() : nullptr;
}

xcb_window_t root(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto reply = own(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

Owned<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                         xcb_atom_t type) {
    return own(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, name, type, 0, kMaxPropertyWords), nullptr));
}

std::vector<Window> windowList(xcb_connection_t* c, const char* name) {
    const auto reply = property(c, root(c), atom(c, name), XCB_ATOM_WINDOW);
    if (!reply || reply->format != 32)
        return {};
    const auto* windows = static_cast<const Window*>(xcb_get_property_value(reply.get()));
    return {windows, windows + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<Window> activeWindow(xcb_connection_t* c) {
    // A window manager that keeps the property means what it says: 0 is no active window,
    // whatever the input focus (its own focus window, or an iconified one) is.
    if (const auto active = windowList(c, "_NET_ACTIVE_WINDOW"); !active.empty()) {
        if (active[0] == XCB_WINDOW_NONE)
            return std::nullopt;
        return active[0];
    }
    const auto focus = own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (focus && focus->focus != XCB_WINDOW_NONE && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT)
        return focus->focus;
    return std::nullopt;
}

// A panel (the tray's own, say) that takes the focus as its icon is clicked is not where the
// user works.
bool isPanel(xcb_connection_t* c, Window window) {
    const auto reply = property(c, window, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
    if (!reply || reply->format != 32)
        return false;
    const auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const xcb_atom_t dock = atom(c, "_NET_WM_WINDOW_TYPE_DOCK");
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(types, types + count, dock) != types + count;
}

bool passedOver(xcb_connection_t* c, Window window) {
    return IsOwnWindow(window) || isPanel(c, window);
}

bool exists(xcb_connection_t* c, Window window) {
    return own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)) !=
           nullptr;
}

// A round trip: every request before it has been processed when it returns.
void sync(xcb_connection_t* c) {
    own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// Qt learns of a new clipboard owner from an event, and until it has handled it answers for the
// clipboard with what it knew of the old owner: the copied text would read as empty. Events are
// handled until Qt says the clipboard changed, for a moment at most.
void waitUntilQtSeesNewClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    QEventLoop loop;
    QObject::connect(clipboard, &QClipboard::dataChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(kClipboardWait, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// True once `done` holds; false when `limit` passed first.
template <typename Done> bool waitFor(std::chrono::milliseconds limit, Done done) {
    for (auto waited = 0ms; waited < limit; waited += kPollInterval) {
        if (done())
            return true;
        std::this_thread::sleep_for(kPollInterval);
    }
    return done();
}

bool activate(xcb_connection_t* c, Window window) {
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = active;
    event.data.data32[0] = 2; // the request comes from a pager, which window managers honour
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, root(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    xcb_flush(c);
    return waitFor(kActivationWait, [&] { return activeWindow(c) == window; });
}

std::optional<xcb_keycode_t> keycode(xcb_connection_t* c, std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto mapping = own(xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr));
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return std::nullopt;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    for (int code = 0; code < count; ++code) {
        if (keysyms[code * mapping->keysyms_per_keycode] == keysym)
            return static_cast<xcb_keycode_t>(setup->min_keycode + code);
    }
    return std::nullopt;
}

xcb_window_t clipboardOwner(xcb_connection_t* c) {
    const auto reply = own(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, atom(c, "CLIPBOARD")), nullptr));
    return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
}

} // namespace

bool Available() {
    return connection() != nullptr;
}

std::vector<Window> ClientWindowsBottomToTop() {
    xcb_connection_t* c = connection();
    if (!c)
        return {};
    if (auto stacking = windowList(c, "_NET_CLIENT_LIST_STACKING"); !stacking.empty())
        return stacking;
    if (auto clients = windowList(c, "_NET_CLIENT_LIST"); !clients.empty())
        return clients;
    const auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, root(c)), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

std::optional<pid_t> WindowProcess(Window window) {
    xcb_connection_t* c = connection();
    if (!c)
        return std::nullopt;
    const auto reply = property(c, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return static_cast<pid_t>(
        *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
}

std::optional<QString> WindowTitle(Window window) {
    xcb_connection_t* c = connection();
    if (!c)
        return std::nullopt;
    const auto text = [&](xcb_atom_t name, xcb_atom_t type) -> std::optional<QByteArray> {
        const auto reply = property(c, window, name, type);
        if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
            return std::nullopt;
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    };
    if (const auto name = text(atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING")))
        return QString::fromUtf8(*name);
    if (const auto name = text(XCB_ATOM_WM_NAME, XCB_ATOM_STRING))
        return QString::fromLatin1(*name);
    return std::nullopt;
}

QString WindowClass(Window window) {
    xcb_connection_t* c = connection();
    if (!c)
        return {};
    const auto reply = property(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (!reply || reply->format != 8)
        return {};
    // Two NUL-terminated strings: the instance, then the class.
    const QByteArray both(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    return QString::fromLatin1(both.split('\0').value(1));
}

bool IsOwnWindow(Window window) {
    const auto pid = WindowProcess(window);
    return pid && *pid == getpid();
}

bool WindowExists(Window window) {
    xcb_connection_t* c = connection();
    return c && exists(c, window);
}

namespace {

void followActiveWindow(xcb_connection_t* c) {
    const auto active = activeWindow(c);
    if (!active)
        gLastOther.reset();
    else if (!passedOver(c, *active))
        gLastOther = active;
}

} // namespace

std::optional<Window> FrontWindowNow() {
    xcb_connection_t* c = connection();
    if (!c)
        return std::nullopt;
    // Without a window manager no change of the active window is announced: it is asked now.
    const auto active = activeWindow(c);
    if (!active || !exists(c, *active))
        return std::nullopt;
    if (!passedOver(c, *active))
        return gLastOther = active;
    if (gLastOther && !exists(c, *gLastOther))
        gLastOther.reset();
    return gLastOther;
}

namespace {

class ActiveWindowFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (change->atom == m_activeAtom && change->window == m_root) {
            if (xcb_connection_t* c = connection())
                followActiveWindow(c);
        }
        return false;
    }
    xcb_atom_t m_activeAtom = XCB_ATOM_NONE;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

} // namespace

void WatchActiveWindow() {
    static ActiveWindowFilter filter;
    static QPointer<QCoreApplication> watched;
    xcb_connection_t* c = connection();
    if (!c || watched == QCoreApplication::instance())
        return;
    watched = QCoreApplication::instance();
    filter.m_activeAtom = atom(c, "_NET_ACTIVE_WINDOW");
    filter.m_root = root(c);
    // Event masks are the client's own: Qt's choice for the root window is kept and widened.
    const auto attributes = own(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, filter.m_root), nullptr));
    const std::uint32_t mask =
        (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, filter.m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
    followActiveWindow(c);
}

bool ActivateWindow(Window window) {
    xcb_connection_t* c = connection();
    return c && exists(c, window) && activate(c, window);
}

bool HideOtherApplications(Window front) {
    xcb_connection_t* c = connection();
    if (!c || !exists(c, front))
        return false;
    const auto frontProcess = WindowProcess(front);
    const xcb_atom_t changeState = atom(c, "WM_CHANGE_STATE");
    for (const Window window : ClientWindowsBottomToTop()) {
        const auto pid = WindowProcess(window);
        if (window == front || (pid && (*pid == getpid() || pid == frontProcess)))
            continue;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = changeState;
        event.data.data32[0] = kIconicState;
        xcb_send_event(c, 0, root(c),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    sync(c);
    return true;
}

bool SendKeystroke(Window target, Keystroke keystroke) {
    xcb_connection_t* c = connection();
    if (!c || !exists(c, target))
        return false;
    const auto control = keycode(c, kKeysymControlL);
    const auto key = keycode(c, keystroke == Keystroke::Copy ? kKeysymC : kKeysymV);
    if (!control || !key)
        return false;
    // XTest types into whatever has the focus: a window that did not come in front gets nothing.
    if (activeWindow(c) != target && !activate(c, target))
        return false;
    const xcb_window_t ownerBefore = clipboardOwner(c);
    const xcb_window_t rootWindow = root(c);
    for (const auto& [type, code] :
         {std::pair{XCB_KEY_PRESS, *control}, std::pair{XCB_KEY_PRESS, *key},
          std::pair{XCB_KEY_RELEASE, *key}, std::pair{XCB_KEY_RELEASE, *control}})
        xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, rootWindow, 0, 0, 0);
    sync(c);
    if (keystroke == Keystroke::Copy &&
        waitFor(kClipboardWait, [&] { return clipboardOwner(c) != ownerBefore; }))
        waitUntilQtSeesNewClipboard();
    return true;
}

} // namespace platform::linuxdesk::x11
