#include "platform/linux/wayland/FakeInput.h"

#include "platform/linux/wayland/WaylandConnection.h"
#include "platform/services/SystemLog.h"

#include "fake-input-client.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// KWin answers the seat's questions and handles the keys in the order they come; the round trip
// after them says it has.
constexpr auto kAnswerLimit = 500ms;
constexpr std::uint32_t kReleased = 0;
constexpr std::uint32_t kPressed = 1;
// xkbcommon numbers keys as X11 does, eight above the kernel's codes.
constexpr std::uint32_t kXkbOffset = 8;
// A keymap is some tens of kilobytes; anything far larger is not one.
constexpr std::uint32_t kMaxKeymapBytes = 16 * 1024 * 1024;

std::optional<xkb_keycode_t> keyOf(xkb_keymap* keymap, xkb_layout_index_t layout,
                                   xkb_keysym_t symbol) {
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap);
         ++key) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &symbols);
        for (int i = 0; i < count; ++i) {
            if (symbols[i] == symbol)
                return key;
        }
    }
    return std::nullopt;
}

} // namespace

// Velmora's own binding of the seat, whose capabilities and keymap come to it alone.
struct FakeInput::Seat {
    ~Seat() {
        if (keyboard)
            wl_keyboard_destroy(keyboard);
        wl_seat_destroy(seat);
    }
    static Seat* self(void* data) { return static_cast<Seat*>(data); }
    static void onCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
        self(data)->hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    }
    static void onKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd,
                         std::uint32_t size) {
        Seat* state = self(data);
        state->keys.reset();
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= kMaxKeymapBytes) {
            void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (text != MAP_FAILED) {
                state->keys = keysIn(QByteArray(static_cast<const char*>(text),
                                                qstrnlen(static_cast<const char*>(text), size)));
                munmap(text, size);
            }
        }
        close(fd);
        state->keymapCame = true;
    }
    static void onEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
    static void onLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
    static void onKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                      std::uint32_t) {}
    static void onModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                            std::uint32_t, std::uint32_t) {}
    static void onRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
    static constexpr wl_seat_listener kSeatListener{.capabilities = &onCapabilities,
                                                    .name = nullptr};
    static constexpr wl_keyboard_listener kKeyboardListener{.keymap = &onKeymap,
                                                            .enter = &onEnter,
                                                            .leave = &onLeave,
                                                            .key = &onKey,
                                                            .modifiers = &onModifiers,
                                                            .repeat_info = &onRepeat};

    wl_seat* seat = nullptr;
    std::uint32_t global = 0;
    wl_keyboard* keyboard = nullptr;
    bool hasKeyboard = false;
    bool keymapCame = false;
    // The keys in the keymap KWin sent last; it sends a new one when the user changes layouts.
    std::optional<Keys> keys;
};

std::optional<FakeInput::Keys> FakeInput::keysIn(const QByteArray& keymap) {
    using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
    using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
    const Context context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), &xkb_context_unref);
    if (!context)
        return std::nullopt;
    const Keymap parsed(
        xkb_keymap_new_from_buffer(context.get(), keymap.constData(), std::size_t(keymap.size()),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!parsed)
        return std::nullopt;
    for (xkb_layout_index_t layout = 0; layout < xkb_keymap_num_layouts(parsed.get()); ++layout) {
        const auto control = keyOf(parsed.get(), layout, XKB_KEY_Control_L);
        const auto c = keyOf(parsed.get(), layout, XKB_KEY_c);
        const auto v = keyOf(parsed.get(), layout, XKB_KEY_v);
        if (control && c && v && *control >= kXkbOffset && *c >= kXkbOffset && *v >= kXkbOffset)
            return Keys{*control - kXkbOffset, *c - kXkbOffset, *v - kXkbOffset};
    }
    return std::nullopt;
}

FakeInput::FakeInput() = default;

FakeInput::~FakeInput() {
    release();
}

void FakeInput::release() {
    if (m_input)
        org_kde_kwin_fake_input_destroy(m_input);
    m_input = nullptr;
    m_seat.reset();
    m_global.reset();
    if (m_connection && m_listener)
        m_connection->forget(m_listener);
    m_listener = 0;
    m_connection.reset();
}

void FakeInput::refuse(const char* why) {
    release();
    if (m_said == why)
        return;
    m_said = why;
    NSLog(QStringLiteral("No copy and paste keystrokes for native windows: %1").arg(why));
}

bool FakeInput::available() {
    if (m_input && m_seat && m_seat->keys && m_connection->usable())
        return true;
    if (!m_input || !m_connection->usable()) {
        release();
        m_connection = WaylandConnection::session();
        if (!m_connection) {
            refuse("there is no Wayland compositor to type through");
            return false;
        }
        const auto global = m_connection->global(org_kde_kwin_fake_input_interface.name);
        const auto seat = m_connection->global(wl_seat_interface.name);
        if (!global) {
            refuse("KWin does not grant Velmora fake input (its installed desktop entry names "
                   "org_kde_kwin_fake_input in X-KDE-Wayland-Interfaces, and Exec the full path "
                   "of the program that runs)");
            return false;
        }
        if (!seat) {
            refuse("the compositor has no seat");
            return false;
        }
        m_global = global->name;
        m_input = static_cast<org_kde_kwin_fake_input*>(
            m_connection->bind(*global, &org_kde_kwin_fake_input_interface, 4));
        if (org_kde_kwin_fake_input_get_version(m_input) < 4) {
            refuse("KWin's fake input is too old to type keys");
            return false;
        }
        org_kde_kwin_fake_input_authenticate(m_input, "Velmora",
                                             "types the copy and paste keystrokes of its commands");
        m_seat = std::make_unique<Seat>();
        m_seat->global = seat->name;
        m_seat->seat = static_cast<wl_seat*>(m_connection->bind(*seat, &wl_seat_interface, 1));
        wl_seat_add_listener(m_seat->seat, &Seat::kSeatListener, m_seat.get());
        m_listener =
            m_connection->listen([this](std::optional<std::uint32_t> withdrawn, const char*) {
                if (!withdrawn || withdrawn == m_global || withdrawn == m_seat->global) {
                    if (m_input)
                        org_kde_kwin_fake_input_destroy(m_input);
                    m_input = nullptr;
                }
            });
        m_connection->roundtrip(kAnswerLimit);
        // Asking a seat that never had a keyboard for one would end the connection.
        if (m_seat->hasKeyboard) {
            m_seat->keyboard = wl_seat_get_keyboard(m_seat->seat);
            wl_keyboard_add_listener(m_seat->keyboard, &Seat::kKeyboardListener, m_seat.get());
            m_connection->roundtrip(kAnswerLimit);
        }
    }
    if (!m_seat->keys) {
        refuse(m_seat->keymapCame ? "the keyboard's keymap cannot be read, or lacks Control, C or V"
                                  : "KWin sent no keymap for the keyboard");
        return false;
    }
    if (m_said) {
        m_said = nullptr;
        NSLog(QStringLiteral("KWin grants Velmora fake input"));
    }
    return true;
}

bool FakeInput::type(FakeKeystroke keystroke) {
    if (!available())
        return false;
    const Keys keys = *m_seat->keys;
    const std::uint32_t key = keystroke == FakeKeystroke::Copy ? keys.c : keys.v;
    org_kde_kwin_fake_input_keyboard_key(m_input, keys.control, kPressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, key, kPressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, key, kReleased);
    org_kde_kwin_fake_input_keyboard_key(m_input, keys.control, kReleased);
    return m_connection->flush() && m_connection->roundtrip(kAnswerLimit);
}

} // namespace platform::linuxdesk::wayland
