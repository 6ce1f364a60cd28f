#include "platform/linux/wayland/VirtualKeyboard.h"

#include "platform/linux/wayland/WaylandConnection.h"

#include "virtual-keyboard-unstable-v1-client.h"

#include <chrono>
#include <cstdio>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// Keymaps are tens of kilobytes; one of megabytes is not a keyboard's.
constexpr std::uint32_t kLargestKeymap = 4 * 1024 * 1024;
// How long the compositor may take to send the seat's keymap, and to take the keys.
constexpr auto kAnswerLimit = 300ms;
// xkbcommon's keycodes are evdev's plus 8.
constexpr xkb_keycode_t kEvdevOffset = 8;

template <typename T, void (*Free)(T*)> struct Freed {
    void operator()(T* object) const { Free(object); }
};
using Context = std::unique_ptr<xkb_context, Freed<xkb_context, xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Freed<xkb_keymap, xkb_keymap_unref>>;

// The first key whose symbol at the layout's first level is `symbol`.
std::optional<xkb_keycode_t> keyOf(xkb_keymap* keymap, xkb_layout_index_t layout,
                                   xkb_keysym_t symbol) {
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap);
         ++key) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &symbols);
        if (count == 1 && symbols[0] == symbol && key >= kEvdevOffset)
            return key;
    }
    return std::nullopt;
}

std::uint32_t milliseconds() {
    return std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

} // namespace

std::optional<ShortcutKeys> FindShortcutKeys(const QByteArray& text) {
    const Context context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context)
        return std::nullopt;
    // A keymap that cannot be read is said once, by the caller.
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    const Keymap keymap(
        xkb_keymap_new_from_buffer(context.get(), text.constData(), std::size_t(text.size()),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return std::nullopt;
    const xkb_mod_index_t control = xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CTRL);
    if (control == XKB_MOD_INVALID)
        return std::nullopt;
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap.get());
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
        const auto controlKey = keyOf(keymap.get(), layout, XKB_KEY_Control_L);
        const auto c = keyOf(keymap.get(), layout, XKB_KEY_c);
        const auto v = keyOf(keymap.get(), layout, XKB_KEY_v);
        if (controlKey && c && v)
            return ShortcutKeys{.control = *controlKey - kEvdevOffset,
                                .c = *c - kEvdevOffset,
                                .v = *v - kEvdevOffset,
                                .layout = layout,
                                .controlMask = 1u << control};
    }
    return std::nullopt;
}

struct VirtualKeyboard::State {
    std::shared_ptr<WaylandConnection> connection;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    zwp_virtual_keyboard_v1* virtualKeyboard = nullptr;
    bool seatHasKeyboard = false;
    // The seat's keymap as the compositor last sent it.
    QByteArray keymap;
    std::optional<ShortcutKeys> keys;
    // The last keymap found wanting, not read again.
    QByteArray refused;
    // The manager's global, and the connection's listener.
    std::uint32_t name = 0;
    int listener = 0;
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

    static State* self(void* data) { return static_cast<State*>(data); }
    static void onCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
        self(data)->seatHasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    }
    static void onSeatName(void*, wl_seat*, const char*) {}
    static void onKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd,
                         std::uint32_t size) {
        State* state = self(data);
        // A file shorter than the size said would end the process at the first read past it.
        struct stat file {};
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= kLargestKeymap &&
            fstat(fd, &file) == 0 && file.st_size >= off_t(size)) {
            void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                // The text ends with a NUL the size counts.
                const char* text = static_cast<const char*>(mapped);
                state->keymap = QByteArray(text, qsizetype(qstrnlen(text, size)));
                munmap(mapped, size);
            }
        }
        close(fd);
    }
    static void onEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
    static void onLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
    static void onKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                      std::uint32_t) {}
    static void onModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                            std::uint32_t, std::uint32_t) {}
    static void onRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

    static constexpr wl_seat_listener kSeatListener{.capabilities = &onCapabilities,
                                                    .name = &onSeatName};
    static constexpr wl_keyboard_listener kKeyboardListener{.keymap = &onKeymap,
                                                            .enter = &onEnter,
                                                            .leave = &onLeave,
                                                            .key = &onKey,
                                                            .modifiers = &onModifiers,
                                                            .repeat_info = &onRepeat};

    // The virtual keyboard, made with the seat's keymap the first time there is one that holds
    // the keys.
    bool prepare() {
        if (virtualKeyboard)
            return true;
        // Asking a seat that never had a keyboard for one is an error that would end the
        // connection, which the clipboard shares.
        if (!keyboard) {
            connection->roundtrip(kAnswerLimit);
            if (seatHasKeyboard) {
                keyboard = wl_seat_get_keyboard(seat);
                wl_keyboard_add_listener(keyboard, &kKeyboardListener, this);
            }
        }
        if (keyboard && keymap.isEmpty())
            connection->roundtrip(kAnswerLimit);
        if (keymap.isEmpty()) {
            refuse(seatHasKeyboard ? "the compositor sent no keymap for the keyboard"
                                   : "the seat has no keyboard");
            return false;
        }
        if (keymap != refused)
            keys = FindShortcutKeys(keymap);
        if (!keys) {
            refused = keymap;
            refuse("the keyboard's keymap cannot be read, or lacks Control, C or V");
            return false;
        }
        const int fd = memfd_create("velmora-keymap", MFD_CLOEXEC);
        const QByteArray text = keymap + '\0';
        if (fd < 0 || write(fd, text.constData(), std::size_t(text.size())) != text.size()) {
            if (fd >= 0)
                close(fd);
            refuse("the keymap could not be handed to the compositor");
            return false;
        }
        virtualKeyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
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
    const auto seat = connection->global(wl_seat_interface.name);
    if (!global || !seat)
        return nullptr;
    auto state = std::make_unique<State>();
    State* raw = state.get();
    raw->connection = std::move(connection);
    raw->name = global->name;
    raw->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        raw->connection->bind(*global, &zwp_virtual_keyboard_manager_v1_interface, 1));
    // A seat of its own, whose capabilities come to this listener alone.
    raw->seat = static_cast<wl_seat*>(raw->connection->bind(*seat, &wl_seat_interface, 1));
    wl_seat_add_listener(raw->seat, &State::kSeatListener, raw);
    raw->listener =
        raw->connection->listen([raw](std::optional<std::uint32_t> withdrawn, const char* why) {
            if (!withdrawn)
                raw->withdraw(why);
            else if (*withdrawn == raw->name)
                raw->withdraw("the compositor withdrew it");
        });
    return std::unique_ptr<VirtualKeyboard>(new VirtualKeyboard(std::move(state)));
}

VirtualKeyboard::VirtualKeyboard(std::unique_ptr<State> state) : m_state(std::move(state)) {}

VirtualKeyboard::~VirtualKeyboard() {
    m_state->connection->forget(m_state->listener);
    if (m_state->virtualKeyboard)
        zwp_virtual_keyboard_v1_destroy(m_state->virtualKeyboard);
    if (m_state->keyboard)
        wl_keyboard_destroy(m_state->keyboard);
    zwp_virtual_keyboard_manager_v1_destroy(m_state->manager);
    wl_seat_destroy(m_state->seat);
    m_state->connection->flush();
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
