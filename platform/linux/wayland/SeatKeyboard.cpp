#include "platform/linux/wayland/SeatKeyboard.h"

#include "platform/linux/wayland/WaylandConnection.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace platform::linuxdesk::wayland {

namespace {

// Keymaps are tens of kilobytes; one of megabytes is not a keyboard's.
constexpr std::uint32_t kLargestKeymap = 4 * 1024 * 1024;
// xkbcommon's keycodes are the kernel's plus 8.
constexpr xkb_keycode_t kEvdevOffset = 8;

template <typename T, void (*Free)(T*)> struct Freed {
    void operator()(T* object) const { Free(object); }
};
using Context = std::unique_ptr<xkb_context, Freed<xkb_context, xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Freed<xkb_keymap, xkb_keymap_unref>>;

// The first key whose one symbol at the layout's first level is `symbol`.
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

struct SeatKeyboard::Listeners {
    static SeatKeyboard* self(void* data) { return static_cast<SeatKeyboard*>(data); }
    static void onCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
        self(data)->m_hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    }
    static void onSeatName(void*, wl_seat*, const char*) {}
    static void onKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd,
                         std::uint32_t size) {
        SeatKeyboard* keyboard = self(data);
        keyboard->m_keymapCame = true;
        keyboard->m_keymap.clear();
        // A file shorter than the size said would end the process at the first read past it.
        struct stat file {};
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= kLargestKeymap &&
            fstat(fd, &file) == 0 && file.st_size >= off_t(size)) {
            void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                // The text ends with a NUL the size counts.
                const char* text = static_cast<const char*>(mapped);
                keyboard->m_keymap = QByteArray(text, qsizetype(qstrnlen(text, size)));
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

    static constexpr wl_seat_listener kSeat{.capabilities = &onCapabilities, .name = &onSeatName};
    static constexpr wl_keyboard_listener kKeyboard{.keymap = &onKeymap,
                                                    .enter = &onEnter,
                                                    .leave = &onLeave,
                                                    .key = &onKey,
                                                    .modifiers = &onModifiers,
                                                    .repeat_info = &onRepeat};
};

std::unique_ptr<SeatKeyboard> SeatKeyboard::connect(std::shared_ptr<WaylandConnection> connection) {
    if (!connection || !connection->usable())
        return nullptr;
    const auto seat = connection->global(wl_seat_interface.name);
    if (!seat)
        return nullptr;
    // A binding of its own, whose capabilities and keymap come to this listener alone.
    auto* bound = static_cast<wl_seat*>(connection->bind(*seat, &wl_seat_interface, 1));
    return std::unique_ptr<SeatKeyboard>(
        new SeatKeyboard(std::move(connection), bound, seat->name));
}

SeatKeyboard::SeatKeyboard(std::shared_ptr<WaylandConnection> connection, wl_seat* seat,
                           std::uint32_t seatGlobal)
    : m_connection(std::move(connection)), m_seat(seat), m_seatGlobal(seatGlobal) {
    wl_seat_add_listener(m_seat, &Listeners::kSeat, this);
}

SeatKeyboard::~SeatKeyboard() {
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
    wl_seat_destroy(m_seat);
    m_connection->flush();
}

std::optional<ShortcutKeys> SeatKeyboard::keys(std::chrono::milliseconds limit, const char** why) {
    // Asking a seat that never had a keyboard for one is an error that would end the connection,
    // which the clipboard shares.
    if (!m_keyboard) {
        m_connection->roundtrip(limit);
        if (m_hasKeyboard) {
            m_keyboard = wl_seat_get_keyboard(m_seat);
            wl_keyboard_add_listener(m_keyboard, &Listeners::kKeyboard, this);
        }
    }
    if (m_keyboard && !m_keymapCame)
        m_connection->roundtrip(limit);
    if (m_keymap.isEmpty()) {
        *why = !m_hasKeyboard ? "the seat has no keyboard"
               : m_keymapCame ? "the keyboard's keymap cannot be read"
                              : "the compositor sent no keymap for the keyboard";
        return std::nullopt;
    }
    if (m_keymap != m_read) {
        m_read = m_keymap;
        m_keys = FindShortcutKeys(m_keymap);
    }
    if (!m_keys)
        *why = "the keyboard's keymap cannot be read, or lacks Control, C or V";
    return m_keys;
}

} // namespace platform::linuxdesk::wayland
