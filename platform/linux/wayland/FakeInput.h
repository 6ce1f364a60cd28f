// Keystrokes through KWin's fake input protocol (org_kde_kwin_fake_input), on Velmora's Wayland
// connection. KWin announces that global only to a program that an installed desktop entry names
// by its executable's full path in Exec, with org_kde_kwin_fake_input among its
// X-KDE-Wayland-Interfaces; to any other it does not exist.
//
// The protocol takes keys, not symbols, and KWin reads them through the user's layout: the keys
// that type Control, C and V are found in the keymap KWin sends for the seat's keyboard, so that
// a Dvorak user's paste is not Ctrl+K. A keymap that cannot be read types nothing.
#pragma once

#include "platform/linux/wayland/SeatKeyboard.h"

#include <cstdint>
#include <memory>
#include <optional>

struct org_kde_kwin_fake_input;

namespace platform::linuxdesk::wayland {

enum class FakeKeystroke { Copy, Paste };

class FakeInput {
public:
    FakeInput();
    ~FakeInput();
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;

    // Whether the compositor grants fake input now and its keymap has the keys; a refusal is
    // said once in the log.
    bool available();
    // Presses Control, then C or V, and releases both; true once the compositor has handled
    // them.
    bool type(FakeKeystroke keystroke);

private:
    void release();
    void refuse(const char* why);

    std::shared_ptr<WaylandConnection> m_connection;
    org_kde_kwin_fake_input* m_input = nullptr;
    std::unique_ptr<SeatKeyboard> m_seat;
    std::optional<ShortcutKeys> m_keys;
    std::optional<std::uint32_t> m_global;
    int m_watch = 0;
    const char* m_said = nullptr;
};

} // namespace platform::linuxdesk::wayland
