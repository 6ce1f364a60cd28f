// A Wayland compositor of the test's own, on a thread of its own, offering a seat, the wlr data
// control protocol and the wlr toplevel list and nothing else: enough for Velmora's connection,
// clipboard and windows to talk to, and under the test's control in what no real compositor can
// be made to do on demand (an owner that never sends, ten thousand MIME types, a title that is
// not UTF-8, a withdrawn protocol, a sudden end).
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
    // What a data control client last offered as the selection, read through the protocol as a
    // program pasting would read it; empty when it sends nothing within a few seconds.
    QByteArray pasteFromClient(const QByteArray& type);
    void withdrawDataControl();

    // A toplevel in every client's list, with this application id and title (bytes as they
    // come), activated or not; its number for the calls below. The toplevel activated before is
    // then no longer.
    int addToplevel(const QByteArray& applicationId, const QByteArray& title, bool activated);
    void closeToplevel(int toplevel);
    // Whether a client's request to activate a toplevel is carried out, as compositors do unless
    // the window is gone or refuses.
    void setActivationHonoured(bool honoured);
    void withdrawToplevels();
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
