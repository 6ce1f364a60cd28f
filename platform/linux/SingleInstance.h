// One Velmora a session: the first to start owns the name io.velmora.Velmora on the session
// bus, and a later `velmora` hands its request to that one and ends, so that a second tray icon
// never appears.
#pragma once

#include <functional>
#include <memory>

namespace platform::linuxdesk {

class SingleInstance {
public:
    // Claims the name; `showPreferences` runs when a later instance asks for the preference
    // window. Without a session bus every instance runs on its own.
    explicit SingleInstance(std::function<void()> showPreferences);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another instance owns the name.
    bool isFirst() const { return m_first; }
    // Asks the instance that owns the name to show its preference window.
    static bool askFirstToShowPreferences();

private:
    class Receiver;
    std::unique_ptr<Receiver> m_receiver;
    bool m_first = true;
};

} // namespace platform::linuxdesk
