// The clipboard as the compositor holds it, through a Wayland connection of Velmora's own.
//
// Velmora draws through XWayland, and KWin and wlroots compositors give the clipboard to X11
// clients only while an X11 window has the focus (KWin once answered with an older text). Their
// data control protocols (ext_data_control_v1, and before it zwlr_data_control_manager_v1) give
// a client the seat's selection without any focus: every new selection is announced with the
// MIME types it offers, its data is read through a pipe from the program that copied it, and a
// client may set the selection itself. Reads are bounded in time and size: a program that never
// writes, or writes without end, costs a read its limit and nothing more.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace platform::linuxdesk::wayland {

class WaylandConnection;

class DataControlClipboard {
public:
    using Contents = QList<std::pair<QString, QByteArray>>;

    // The compositor's clipboard, when the compositor offers data control; none when there is no
    // compositor or it offers neither protocol.
    static std::unique_ptr<DataControlClipboard>
    connect(std::shared_ptr<WaylandConnection> connection);
    virtual ~DataControlClipboard();

    // The protocol in use.
    virtual const char* protocol() const = 0;
    // False once the compositor has gone or withdrawn the device: nothing it said can be trusted.
    bool usable() const { return m_usable; }
    // Takes in what the compositor has sent, waiting up to `limit` for the answer to everything
    // asked before.
    bool synchronize(std::chrono::milliseconds limit);
    // Waits up to `limit` for a new selection.
    bool waitForChange(std::chrono::milliseconds limit);
    // Grows with every new selection, this process's own included.
    std::uint64_t changeCount() const { return m_changes; }
    // The MIME types of the selection; empty when there is none.
    QStringList mimeTypes() const { return m_types; }
    // The selection's data in `mimeType`; none when it is not offered, when the program that
    // copied it sends nothing within `limit`, or more than `maxBytes`.
    std::optional<QByteArray> read(const QString& mimeType, std::chrono::milliseconds limit,
                                   qsizetype maxBytes);
    // Makes Velmora the owner of the selection, offering `contents` (none: an empty selection).
    bool set(const Contents& contents);
    bool owns() const { return m_owned.has_value(); }

protected:
    // `manager` names the global whose withdrawal ends the clipboard.
    DataControlClipboard(std::shared_ptr<WaylandConnection> connection, std::uint32_t manager);
    void fail(const char* why);
    void newSelection(QStringList types);
    void ownSelectionLost() { m_owned.reset(); }
    // Writes the owned data in `mimeType` to `fd` (which it closes), bounded in time.
    void send(const char* mimeType, int fd);

    virtual bool readOffer(const QString& mimeType, int fd) = 0;
    virtual bool offerSource(const Contents& contents) = 0;

    std::shared_ptr<WaylandConnection> m_connection;

private:
    int m_watch;
    QElapsedTimer m_sinceSynchronized;
    QStringList m_types;
    std::optional<Contents> m_owned;
    std::uint64_t m_changes = 1;
    bool m_usable = true;
};

} // namespace platform::linuxdesk::wayland
