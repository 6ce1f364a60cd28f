// A Wayland compositor of the test's own, on a thread of its own, offering a seat and the wlr
// data control protocol and nothing else: enough for Velmora's connection and clipboard to talk
// to, and under the test's control in what no real compositor can be made to do on demand (an
// owner that never sends, ten thousand MIME types, a withdrawn protocol, a sudden end).
#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <memory>

namespace stand_in {

class StandInCompositor {
public:
    // How the program that copied answers a read of `type`: it owns `fd` and closes it when done.
    using Answer = std::function<void(const QByteArray& type, int fd)>;

    // Listens on a new socket in XDG_RUNTIME_DIR.
    StandInCompositor();
    ~StandInCompositor();
    StandInCompositor(const StandInCompositor&) = delete;
    StandInCompositor& operator=(const StandInCompositor&) = delete;

    // What WAYLAND_DISPLAY names it by.
    QByteArray socketName() const;

    // A new selection offering `types`, announced to every data control device.
    void offerSelection(const QStringList& types, Answer answer);
    void withdrawDataControl();
    // Every client's connection ends, as when the compositor dies.
    void disconnectClients();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

// Answers: the data whole; nothing ever (the descriptor kept open); data without end, written
// from a thread of its own until the reader goes.
StandInCompositor::Answer sends(QByteArray data);
StandInCompositor::Answer neverSends();
StandInCompositor::Answer sendsEndlessly();

} // namespace stand_in
