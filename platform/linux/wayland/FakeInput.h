// Keystrokes through KWin's fake input protocol (org_kde_kwin_fake_input), on Velmora's Wayland
// connection. KWin announces that global only to a program that an installed desktop entry names
// by its executable's full path in Exec, with org_kde_kwin_fake_input among its
// X-KDE-Wayland-Interfaces; to any other it does not exist. The keys are Linux input event codes,
// which KWin types through its own keyboard layout into the window that has the keyboard focus.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

struct org_kde_kwin_fake_input;

namespace platform::linuxdesk::wayland {

class WaylandConnection;

enum class FakeKeystroke { Copy, Paste };

class FakeInput {
public:
    FakeInput();
    ~FakeInput();
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;

    // Whether the compositor grants fake input now; a refusal is said once in the log.
    bool available();
    // Presses Control, then C or V, and releases both; true once the compositor has handled
    // them.
    bool type(FakeKeystroke keystroke);

private:
    void release();
    void refuse(const char* why);

    std::shared_ptr<WaylandConnection> m_connection;
    org_kde_kwin_fake_input* m_input = nullptr;
    std::optional<std::uint32_t> m_global;
    int m_listener = 0;
    const char* m_said = nullptr;
};

} // namespace platform::linuxdesk::wayland
