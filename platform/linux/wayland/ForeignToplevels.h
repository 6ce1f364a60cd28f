// The compositor's list of toplevel windows, through zwlr_foreign_toplevel_manager_v1 (wlroots
// compositors: sway, labwc, Wayfire, river, Hyprland), which taskbars use: every toplevel of
// every client, native and XWayland alike, with its application id (an XWayland window's is its
// X11 class), its title and whether it is activated or minimised. The list is a mirror kept from
// the compositor's events; a toplevel's changes count once the compositor has said it sent them
// all.
//
// Nothing here is a guess: a compositor that withdraws the protocol or goes away leaves an empty
// list, and a toplevel the compositor said closed is gone at once.
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform::linuxdesk::wayland {

class WaylandConnection;

struct Toplevel {
    // Velmora's own name for the toplevel, never reused while it lives.
    quint64 id = 0;
    QString applicationId;
    QString title;
    bool activated = false;
    bool minimized = false;
    // Grows with each activation seen; 0 for a toplevel never seen activated.
    std::uint64_t activatedAt = 0;
};

class ForeignToplevels {
public:
    // None when the compositor does not offer the protocol.
    static std::unique_ptr<ForeignToplevels> connect(std::shared_ptr<WaylandConnection> connection);
    ~ForeignToplevels();
    ForeignToplevels(const ForeignToplevels&) = delete;
    ForeignToplevels& operator=(const ForeignToplevels&) = delete;

    // False once the compositor has withdrawn the protocol or gone.
    bool usable() const;
    // Takes in what the compositor has sent, waiting up to `limit` for the answer to everything
    // asked before.
    bool synchronize(std::chrono::milliseconds limit);
    // The toplevels, the one activated last first (the compositor tells no stacking order).
    std::vector<Toplevel> toplevels() const;
    std::optional<Toplevel> find(quint64 id) const;
    // The toplevel the compositor reports activated now; none when it reports none.
    std::optional<Toplevel> activated() const;
    // Asks the compositor to activate the toplevel on Velmora's seat.
    bool activate(quint64 id);
    bool setMinimized(quint64 id, bool minimized);
    // Waits up to `limit` until the compositor reports the toplevel activated; false when it
    // closes, or the time passes, first.
    bool waitUntilActivated(quint64 id, std::chrono::milliseconds limit);

    struct State;

private:
    explicit ForeignToplevels(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

// Titles and application ids come from other programs: text that is not UTF-8 reads with
// replacement characters, and a text longer than any window shows is cut.
QString TextFromCompositor(const char* text);

} // namespace platform::linuxdesk::wayland
