// Ctrl+C and Ctrl+V typed into the window that has the keyboard, through the compositor's
// virtual keyboard protocol (zwp_virtual_keyboard_manager_v1: sway and the other wlroots
// compositors).
//
// A virtual keyboard brings its own keymap, and the compositor hands that keymap to the window
// that receives the keys: a keymap of another layout than the user's would change the user's
// layout under their hands. So the keymap is the one the compositor itself sends for the seat's
// keyboard (the user's layout), and the keys are found in it by their symbols: Control_L, c and
// v. The virtual keyboard is made once, at the first keystroke that can be typed; a keymap that
// cannot be read, or lacks one of the keys, types nothing and is said once in the log.
#pragma once

#include <QByteArray>
#include <memory>
#include <optional>

namespace platform::linuxdesk::wayland {

class WaylandConnection;

class VirtualKeyboard {
public:
    enum class Shortcut { Copy, Paste };

    // None when the compositor does not offer the protocol.
    static std::unique_ptr<VirtualKeyboard> connect(std::shared_ptr<WaylandConnection> connection);
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    bool usable() const;
    // Types the shortcut into the window that has the keyboard now, and returns once the
    // compositor has taken the keys (within a moment); false, with nothing typed, when there is
    // no keymap to type with.
    bool type(Shortcut shortcut);

    struct State;

private:
    explicit VirtualKeyboard(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

// The keycodes (evdev's, as the protocol takes them) of the shortcut's keys in a keymap, and the
// layout c and v are found in.
struct ShortcutKeys {
    unsigned control = 0;
    unsigned c = 0;
    unsigned v = 0;
    unsigned layout = 0;
    // The modifier mask Control sets.
    unsigned controlMask = 0;
};
// The keys in a keymap in xkbcommon's text format; none when the text is no keymap or lacks one.
std::optional<ShortcutKeys> FindShortcutKeys(const QByteArray& keymap);

} // namespace platform::linuxdesk::wayland
