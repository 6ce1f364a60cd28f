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

#include <memory>

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

} // namespace platform::linuxdesk::wayland
