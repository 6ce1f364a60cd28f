#include "platform/linux/wayland/VirtualKeyboard.h"

#include "platform/linux/wayland/SeatKeyboard.h"
#include "platform/linux/wayland/WaylandConnection.h"

#include "virtual-keyboard-unstable-v1-client.h"

#include <chrono>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// How long the compositor may take to send the seat's keymap, and to take the keys.
constexpr auto kAnswerLimit = 300ms;

std::uint32_t milliseconds() {
    return std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

} // namespace

struct VirtualKeyboard::State {
    std::shared_ptr<WaylandConnection> connection;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    std::unique_ptr<SeatKeyboard> seat;
    zwp_virtual_keyboard_v1* virtualKeyboard = nullptr;
    std::optional<ShortcutKeys> keys;
    // The manager's global, and the connection's watch on it.
    std::uint32_t name = 0;
    int watch = 0;
    bool usable = true;
    bool refusalSaid = false;

    void withdraw(const char* why) {
        if (!usable)
            return;
        usable = false;
        std::fprintf(stderr, "velmora: the compositor's virtual keyboard is gone: %s\n", why);
    }
    void refuse(const char* why) {
        if (!refusalSaid)
            std::fprintf(stderr, "velmora: no copy or paste keystrokes: %s\n", why);
        refusalSaid = true;
    }

    // The virtual keyboard, made with the seat's keymap the first time there is one that holds
    // the keys.
    bool prepare() {
        if (virtualKeyboard)
            return true;
        const char* why = "";
        keys = seat->keys(kAnswerLimit, &why);
        if (!keys) {
            refuse(why);
            return false;
        }
        const int fd = memfd_create("velmora-keymap", MFD_CLOEXEC);
        const QByteArray text = seat->keymap() + '\0';
        if (fd < 0 || write(fd, text.constData(), std::size_t(text.size())) != text.size()) {
            if (fd >= 0)
                close(fd);
            refuse("the keymap could not be handed to the compositor");
            return false;
        }
        virtualKeyboard =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat->seat());
        zwp_virtual_keyboard_v1_keymap(virtualKeyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       std::uint32_t(text.size()));
        close(fd);
        return true;
    }
};

std::unique_ptr<VirtualKeyboard>
VirtualKeyboard::connect(std::shared_ptr<WaylandConnection> connection) {
    if (!connection || !connection->usable())
        return nullptr;
    const auto global = connection->global(zwp_virtual_keyboard_manager_v1_interface.name);
    auto seat = SeatKeyboard::connect(connection);
    if (!global || !seat)
        return nullptr;
    auto state = std::make_unique<State>();
    State* raw = state.get();
    raw->connection = std::move(connection);
    raw->seat = std::move(seat);
    raw->name = global->name;
    raw->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        raw->connection->bind(*global, &zwp_virtual_keyboard_manager_v1_interface, 1));
    raw->watch =
        raw->connection->watch({raw->name}, [raw](const char* why) { raw->withdraw(why); });
    return std::unique_ptr<VirtualKeyboard>(new VirtualKeyboard(std::move(state)));
}

VirtualKeyboard::VirtualKeyboard(std::unique_ptr<State> state) : m_state(std::move(state)) {}

VirtualKeyboard::~VirtualKeyboard() {
    m_state->connection->forget(m_state->watch);
    if (m_state->virtualKeyboard)
        zwp_virtual_keyboard_v1_destroy(m_state->virtualKeyboard);
    zwp_virtual_keyboard_manager_v1_destroy(m_state->manager);
    m_state->seat.reset();
}

bool VirtualKeyboard::usable() const {
    return m_state->usable && m_state->connection->usable();
}

bool VirtualKeyboard::type(Shortcut shortcut) {
    if (!usable() || !m_state->prepare())
        return false;
    const ShortcutKeys& keys = *m_state->keys;
    zwp_virtual_keyboard_v1* keyboard = m_state->virtualKeyboard;
    const unsigned letter = shortcut == Shortcut::Copy ? keys.c : keys.v;
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, keys.layout);
    zwp_virtual_keyboard_v1_key(keyboard, milliseconds(), keys.control,
                                WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_modifiers(keyboard, keys.controlMask, 0, 0, keys.layout);
    zwp_virtual_keyboard_v1_key(keyboard, milliseconds(), letter, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard, milliseconds(), letter, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_key(keyboard, milliseconds(), keys.control,
                                WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, keys.layout);
    return m_state->connection->roundtrip(kAnswerLimit) && usable();
}

} // namespace platform::linuxdesk::wayland
