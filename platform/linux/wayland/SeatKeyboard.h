// The keyboard of the compositor's seat, as a binding of the seat of Velmora's own sees it: the
// keymap the compositor sends for it, which is the user's layout, and the keys that type the copy
// and paste shortcuts in that layout. The compositor's keystroke protocols (the virtual keyboard
// of wlroots compositors, KWin's fake input) take keys, not symbols: a paste typed with the
// QWERTY key of V would be Ctrl+K for a Dvorak user.
#pragma once

#include <QByteArray>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

struct wl_seat;
struct wl_keyboard;

namespace platform::linuxdesk::wayland {

class WaylandConnection;

// The keycodes (the kernel's, as the protocols take them) of the shortcut's keys in a keymap, and
// the layout c and v are found in.
struct ShortcutKeys {
    unsigned control = 0;
    unsigned c = 0;
    unsigned v = 0;
    unsigned layout = 0;
    // The modifier mask Control sets.
    unsigned controlMask = 0;
};
// The keys in a keymap in xkbcommon's text format, in its first layout that has them all; none
// when the text is no keymap or lacks one.
std::optional<ShortcutKeys> FindShortcutKeys(const QByteArray& keymap);

class SeatKeyboard {
public:
    // None when the compositor has no seat.
    static std::unique_ptr<SeatKeyboard> connect(std::shared_ptr<WaylandConnection> connection);
    ~SeatKeyboard();
    SeatKeyboard(const SeatKeyboard&) = delete;
    SeatKeyboard& operator=(const SeatKeyboard&) = delete;

    wl_seat* seat() const { return m_seat; }
    std::uint32_t seatGlobal() const { return m_seatGlobal; }
    // The keymap's text and its keys, the compositor asked for them (within `limit` for each
    // answer) the first time; none, with why in `why`, when the seat has no keyboard, the
    // compositor sends no keymap, or one that lacks a key. The compositor sends a new keymap
    // when the user changes layouts.
    std::optional<ShortcutKeys> keys(std::chrono::milliseconds limit, const char** why);
    const QByteArray& keymap() const { return m_keymap; }

    struct Listeners;

private:
    SeatKeyboard(std::shared_ptr<WaylandConnection> connection, wl_seat* seat,
                 std::uint32_t seatGlobal);

    std::shared_ptr<WaylandConnection> m_connection;
    wl_seat* m_seat;
    std::uint32_t m_seatGlobal;
    wl_keyboard* m_keyboard = nullptr;
    bool m_hasKeyboard = false;
    bool m_keymapCame = false;
    QByteArray m_keymap;
    // The keys of the keymap last read, and that keymap.
    std::optional<ShortcutKeys> m_keys;
    QByteArray m_read;
};

} // namespace platform::linuxdesk::wayland
