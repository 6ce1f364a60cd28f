#include "platform/linux/wayland/DataControlClipboard.h"

#include "platform/linux/wayland/WaylandConnection.h"

#include "ext-data-control-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <QDeadlineTimer>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// An offer of more types than this is read for its first ones: nobody offers a picture or a
// text under its ten-thousandth name.
constexpr qsizetype kMostMimeTypes = 256;
// How long another program may take to read what Velmora offers.
constexpr auto kSendLimit = 2000ms;
// A round trip this recent still tells the clipboard as it is.
constexpr qint64 kStillCurrentMs = 20;
// How long the compositor may take to answer the first questions.
constexpr auto kConnectLimit = 1000ms;

int remainingMs(const QDeadlineTimer& deadline) {
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

// The two protocols differ in their names alone.
struct Ext {
    using Manager = ext_data_control_manager_v1;
    using Device = ext_data_control_device_v1;
    using Source = ext_data_control_source_v1;
    using Offer = ext_data_control_offer_v1;
    using DeviceListener = ext_data_control_device_v1_listener;
    using SourceListener = ext_data_control_source_v1_listener;
    using OfferListener = ext_data_control_offer_v1_listener;
    static constexpr const char* kName = "ext_data_control_v1";
    static constexpr const wl_interface* kInterface = &ext_data_control_manager_v1_interface;
    static constexpr std::uint32_t kVersion = 1;
    static Device* device(Manager* m, wl_seat* s) {
        return ext_data_control_manager_v1_get_data_device(m, s);
    }
    static Source* source(Manager* m) { return ext_data_control_manager_v1_create_data_source(m); }
    static void destroy(Manager* m) { ext_data_control_manager_v1_destroy(m); }
    static void destroy(Device* d) { ext_data_control_device_v1_destroy(d); }
    static void destroy(Source* s) { ext_data_control_source_v1_destroy(s); }
    static void destroy(Offer* o) { ext_data_control_offer_v1_destroy(o); }
    static void listen(Device* d, const DeviceListener* l, void* data) {
        ext_data_control_device_v1_add_listener(d, l, data);
    }
    static void listen(Source* s, const SourceListener* l, void* data) {
        ext_data_control_source_v1_add_listener(s, l, data);
    }
    static void listen(Offer* o, const OfferListener* l, void* data) {
        ext_data_control_offer_v1_add_listener(o, l, data);
    }
    static void offer(Source* s, const char* type) { ext_data_control_source_v1_offer(s, type); }
    static void select(Device* d, Source* s) { ext_data_control_device_v1_set_selection(d, s); }
    static void receive(Offer* o, const char* type, int fd) {
        ext_data_control_offer_v1_receive(o, type, fd);
    }
};

struct Wlr {
    using Manager = zwlr_data_control_manager_v1;
    using Device = zwlr_data_control_device_v1;
    using Source = zwlr_data_control_source_v1;
    using Offer = zwlr_data_control_offer_v1;
    using DeviceListener = zwlr_data_control_device_v1_listener;
    using SourceListener = zwlr_data_control_source_v1_listener;
    using OfferListener = zwlr_data_control_offer_v1_listener;
    static constexpr const char* kName = "zwlr_data_control_manager_v1";
    static constexpr const wl_interface* kInterface = &zwlr_data_control_manager_v1_interface;
    static constexpr std::uint32_t kVersion = 2;
    static Device* device(Manager* m, wl_seat* s) {
        return zwlr_data_control_manager_v1_get_data_device(m, s);
    }
    static Source* source(Manager* m) { return zwlr_data_control_manager_v1_create_data_source(m); }
    static void destroy(Manager* m) { zwlr_data_control_manager_v1_destroy(m); }
    static void destroy(Device* d) { zwlr_data_control_device_v1_destroy(d); }
    static void destroy(Source* s) { zwlr_data_control_source_v1_destroy(s); }
    static void destroy(Offer* o) { zwlr_data_control_offer_v1_destroy(o); }
    static void listen(Device* d, const DeviceListener* l, void* data) {
        zwlr_data_control_device_v1_add_listener(d, l, data);
    }
    static void listen(Source* s, const SourceListener* l, void* data) {
        zwlr_data_control_source_v1_add_listener(s, l, data);
    }
    static void listen(Offer* o, const OfferListener* l, void* data) {
        zwlr_data_control_offer_v1_add_listener(o, l, data);
    }
    static void offer(Source* s, const char* type) { zwlr_data_control_source_v1_offer(s, type); }
    static void select(Device* d, Source* s) { zwlr_data_control_device_v1_set_selection(d, s); }
    static void receive(Offer* o, const char* type, int fd) {
        zwlr_data_control_offer_v1_receive(o, type, fd);
    }
};

template <typename P> class Control final : public DataControlClipboard {
public:
    Control(std::shared_ptr<WaylandConnection> connection, std::uint32_t name,
            typename P::Manager* manager, wl_seat* seat)
        : DataControlClipboard(std::move(connection), name), m_manager(manager),
          m_device(P::device(manager, seat)) {
        P::listen(m_device, &kDeviceListener, this);
    }

    ~Control() override {
        for (auto offer = m_offers.cbegin(); offer != m_offers.cend(); ++offer)
            P::destroy(offer.key());
        if (m_selection)
            P::destroy(m_selection);
        if (m_source)
            P::destroy(m_source);
        P::destroy(m_device);
        P::destroy(m_manager);
    }

    const char* protocol() const override { return P::kName; }

protected:
    bool readOffer(const QString& mimeType, int fd) override {
        if (!m_selection)
            return false;
        P::receive(m_selection, mimeType.toUtf8().constData(), fd);
        return true;
    }

    // The new source takes the selection before the old one goes, so that no moment passes
    // with an empty clipboard.
    bool offerSource(const Contents& contents) override {
        typename P::Source* source = P::source(m_manager);
        P::listen(source, &kSourceListener, this);
        for (const auto& [type, data] : contents)
            P::offer(source, type.toUtf8().constData());
        P::select(m_device, source);
        if (m_source)
            P::destroy(m_source);
        m_source = source;
        return m_connection->flush();
    }

private:
    static Control* self(void* data) { return static_cast<Control*>(data); }

    static void onDataOffer(void* data, typename P::Device*, typename P::Offer* offer) {
        self(data)->m_offers.insert(offer, {});
        P::listen(offer, &kOfferListener, data);
    }
    static void onOfferType(void* data, typename P::Offer* offer, const char* type) {
        auto found = self(data)->m_offers.find(offer);
        if (found != self(data)->m_offers.end() && found->size() < kMostMimeTypes)
            found->append(QString::fromUtf8(type));
    }
    static void onSelection(void* data, typename P::Device*, typename P::Offer* offer) {
        Control* control = self(data);
        if (control->m_selection && control->m_selection != offer)
            P::destroy(control->m_selection);
        control->m_selection = offer;
        control->newSelection(offer ? control->m_offers.take(offer) : QStringList());
    }
    // The primary selection (text selected with the mouse) is not the clipboard.
    static void onPrimarySelection(void* data, typename P::Device*, typename P::Offer* offer) {
        if (offer && offer != self(data)->m_selection) {
            self(data)->m_offers.remove(offer);
            P::destroy(offer);
        }
    }
    static void onFinished(void* data, typename P::Device*) {
        self(data)->fail("the compositor withdrew the clipboard");
    }
    static void onSend(void* data, typename P::Source*, const char* type, int32_t fd) {
        self(data)->send(type, fd);
    }
    static void onCancelled(void* data, typename P::Source* source) {
        Control* control = self(data);
        if (source == control->m_source) {
            control->m_source = nullptr;
            control->ownSelectionLost();
        }
        P::destroy(source);
    }

    static constexpr
        typename P::DeviceListener kDeviceListener{.data_offer = &onDataOffer,
                                                   .selection = &onSelection,
                                                   .finished = &onFinished,
                                                   .primary_selection = &onPrimarySelection};
    static constexpr
        typename P::SourceListener kSourceListener{.send = &onSend, .cancelled = &onCancelled};
    static constexpr typename P::OfferListener kOfferListener{.offer = &onOfferType};

    typename P::Manager* m_manager;
    typename P::Device* m_device;
    typename P::Offer* m_selection = nullptr;
    typename P::Source* m_source = nullptr;
    // Offers announced and not yet made the selection, with their types so far.
    QHash<typename P::Offer*, QStringList> m_offers;
};

} // namespace

std::unique_ptr<DataControlClipboard>
DataControlClipboard::connect(std::shared_ptr<WaylandConnection> connection) {
    wl_seat* seat = connection ? connection->seat() : nullptr;
    if (!seat)
        return nullptr;
    std::unique_ptr<DataControlClipboard> clipboard;
    if (const auto ext = connection->global(Ext::kInterface->name)) {
        auto* manager =
            static_cast<Ext::Manager*>(connection->bind(*ext, Ext::kInterface, Ext::kVersion));
        clipboard = std::make_unique<Control<Ext>>(connection, ext->name, manager, seat);
    } else if (const auto wlr = connection->global(Wlr::kInterface->name)) {
        auto* manager =
            static_cast<Wlr::Manager*>(connection->bind(*wlr, Wlr::kInterface, Wlr::kVersion));
        clipboard = std::make_unique<Control<Wlr>>(connection, wlr->name, manager, seat);
    } else {
        return nullptr;
    }
    // The device announces the selection there is as soon as it is made.
    clipboard->synchronize(kConnectLimit);
    return clipboard;
}

DataControlClipboard::DataControlClipboard(std::shared_ptr<WaylandConnection> connection,
                                           std::uint32_t manager)
    : m_connection(std::move(connection)),
      m_watch(m_connection->watch({manager}, [this](const char* why) { fail(why); })) {}

DataControlClipboard::~DataControlClipboard() {
    m_connection->forget(m_watch);
}

void DataControlClipboard::fail(const char* why) {
    if (!m_usable)
        return;
    m_usable = false;
    m_types.clear();
    m_owned.reset();
    ++m_changes;
    std::fprintf(stderr, "velmora: the clipboard is taken as empty from now on: %s\n", why);
}

void DataControlClipboard::newSelection(QStringList types) {
    m_types = std::move(types);
    ++m_changes;
}

// One opening asks for the count and the contents several times in a few milliseconds: a round
// trip that has just completed answers them all.
bool DataControlClipboard::synchronize(std::chrono::milliseconds limit) {
    if (!m_usable)
        return false;
    if (m_sinceSynchronized.isValid() && m_sinceSynchronized.elapsed() < kStillCurrentMs)
        return true;
    if (m_connection->roundtrip(limit))
        m_sinceSynchronized.start();
    return m_usable;
}

bool DataControlClipboard::waitForChange(std::chrono::milliseconds limit) {
    const std::uint64_t before = m_changes;
    const QDeadlineTimer deadline(limit);
    while (m_usable && m_changes == before && !deadline.hasExpired())
        m_connection->pump(remainingMs(deadline));
    return m_changes != before;
}

std::optional<QByteArray> DataControlClipboard::read(const QString& mimeType,
                                                     std::chrono::milliseconds limit,
                                                     qsizetype maxBytes) {
    if (!m_usable || !m_types.contains(mimeType))
        return std::nullopt;
    // Velmora's own offer is answered from memory: asking itself through the compositor would
    // wait for a send this thread cannot handle while it reads.
    if (m_owned) {
        for (const auto& [type, data] : *m_owned)
            if (type == mimeType)
                return data;
        return std::nullopt;
    }
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return std::nullopt;
    const bool asked = readOffer(mimeType, pipe[1]);
    // The request carries a copy of the descriptor.
    close(pipe[1]);
    if (!asked || !m_connection->flush()) {
        close(pipe[0]);
        return std::nullopt;
    }
    QByteArray data;
    const QDeadlineTimer deadline(limit);
    char chunk[65536];
    for (;;) {
        pollfd ready{pipe[0], POLLIN, 0};
        if (poll(&ready, 1, remainingMs(deadline)) <= 0) {
            close(pipe[0]);
            return std::nullopt;
        }
        const ssize_t got = ::read(pipe[0], chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            close(pipe[0]);
            return std::nullopt;
        }
        if (data.size() + got > maxBytes) {
            close(pipe[0]);
            return std::nullopt;
        }
        data.append(chunk, got);
    }
    close(pipe[0]);
    return data;
}

bool DataControlClipboard::set(const Contents& contents) {
    if (!m_usable || !offerSource(contents))
        return false;
    m_owned = contents;
    QStringList types;
    for (const auto& [type, data] : contents)
        types.append(type);
    newSelection(types);
    return true;
}

void DataControlClipboard::send(const char* mimeType, int fd) {
    const QString type = QString::fromUtf8(mimeType);
    QByteArray data;
    if (m_owned)
        for (const auto& [offered, bytes] : *m_owned)
            if (offered == type)
                data = bytes;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const QDeadlineTimer deadline(kSendLimit);
    qsizetype written = 0;
    while (written < data.size()) {
        pollfd ready{fd, POLLOUT, 0};
        if (poll(&ready, 1, remainingMs(deadline)) <= 0)
            break;
        const ssize_t put = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (put < 0 && errno != EAGAIN && errno != EINTR)
            break;
        if (put > 0)
            written += put;
    }
    close(fd);
}

} // namespace platform::linuxdesk::wayland
