// Velmora's own connection to the session's Wayland compositor, beside the XWayland one it draws
// through: the protocols that tell the desktop as it is (the clipboard, the windows, the
// keyboard) are asked on it. One connection serves them all; each protocol client holds it
// shared and hears when a global it bound is withdrawn or the connection breaks.
//
// Nothing waits unbounded: a compositor that stops answering costs a round trip its limit.
#pragma once

#include <QList>
#include <QSocketNotifier>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_interface;

namespace platform::linuxdesk::wayland {

class WaylandConnection {
public:
    struct Global {
        std::uint32_t name = 0;
        std::uint32_t version = 0;
    };
    // Told, with why, that one of the globals watched was withdrawn or that the connection ended.
    using Gone = std::function<void(const char* why)>;

    // The session's connection, made at the first call and kept while anyone holds it; none when
    // the session has no Wayland compositor.
    static std::shared_ptr<WaylandConnection> session();
    // A connection of its own, to the compositor `WAYLAND_DISPLAY` names.
    static std::shared_ptr<WaylandConnection> connect();
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    // False once the connection broke: nothing the compositor said can be trusted any more.
    bool usable() const { return m_usable; }
    // The first global of this interface the compositor announces now.
    std::optional<Global> global(const char* interface) const;
    // Binds that global at its version or `maxVersion`, whichever is lower.
    void* bind(const Global& global, const wl_interface* interface, std::uint32_t maxVersion);
    // The first seat, bound at version 1 once and kept; null when the compositor has none.
    wl_seat* seat();

    // Watches the globals a client bound; `forget` before the client goes.
    int watch(std::vector<std::uint32_t> globals, Gone gone);
    void forget(int watch);

    // wl_display_roundtrip, bounded: every request sent before it has been answered once it
    // returns true.
    bool roundtrip(std::chrono::milliseconds limit);
    // Reads and handles what the compositor sent, waiting up to `timeoutMs` for something.
    void pump(int timeoutMs);
    bool flush();

    struct Registry;

private:
    explicit WaylandConnection(wl_display* display);
    void fail(const char* why);
    void withdraw(std::uint32_t name);

    wl_display* m_display;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<QSocketNotifier> m_notifier;
    wl_seat* m_seat = nullptr;
    struct Watch {
        std::vector<std::uint32_t> globals;
        Gone gone;
    };
    std::map<int, Watch> m_watches;
    int m_nextWatch = 1;
    bool m_usable = true;
};

} // namespace platform::linuxdesk::wayland
