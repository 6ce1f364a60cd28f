#include "StandInCompositor.h"

#include "wlr-data-control-unstable-v1-server.h"

#include <atomic>
#include <cerrno>
#include <future>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wayland-server.h>

namespace stand_in {

struct StandInCompositor::State {
    wl_display* display = wl_display_create();
    QByteArray socket;
    wl_global* seat = nullptr;
    wl_global* dataControl = nullptr;
    int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    wl_event_source* waking = nullptr;
    std::mutex mutex;
    std::vector<std::function<void()>> tasks;
    std::atomic<bool> stopping = false;
    std::vector<wl_resource*> devices;
    // The selection the compositor offers.
    QStringList types;
    Answer answer;
    std::thread thread;

    // Runs `task` on the compositor's thread and waits for it.
    void run(std::function<void()> task) {
        std::promise<void> done;
        {
            const std::lock_guard lock(mutex);
            tasks.push_back([&] {
                task();
                done.set_value();
            });
        }
        const std::uint64_t one = 1;
        (void)::write(wake, &one, sizeof one);
        done.get_future().wait();
    }

    void announceSelection(wl_resource* device) {
        wl_resource* offer = wl_resource_create(wl_resource_get_client(device),
                                                &zwlr_data_control_offer_v1_interface,
                                                wl_resource_get_version(device), 0);
        static const struct zwlr_data_control_offer_v1_interface offerRequests {
            .receive =
                [](wl_client*, wl_resource* offer, const char* type, int32_t fd) {
                    auto* state = static_cast<State*>(wl_resource_get_user_data(offer));
                    if (state->answer)
                        state->answer(QByteArray(type), fd);
                    else
                        close(fd);
                },
            .destroy = [](wl_client*, wl_resource* offer) { wl_resource_destroy(offer); }
        };
        wl_resource_set_implementation(offer, &offerRequests, this, nullptr);
        zwlr_data_control_device_v1_send_data_offer(device, offer);
        // libwayland before 1.23 drops a client whose events outgrow the socket's buffer: a long
        // offer goes out in parts, each once the client has read the last.
        wl_client* client = wl_resource_get_client(device);
        for (qsizetype sent = 0; sent < types.size(); ++sent) {
            zwlr_data_control_offer_v1_send_offer(offer, types[sent].toUtf8().constData());
            if (sent % 64 == 63) {
                wl_client_flush(client);
                pollfd writable{wl_client_get_fd(client), POLLOUT, 0};
                poll(&writable, 1, 1000);
            }
        }
        zwlr_data_control_device_v1_send_selection(device, offer);
    }
};

namespace {

using State = StandInCompositor::State;

State* stateOf(wl_resource* resource) {
    return static_cast<State*>(wl_resource_get_user_data(resource));
}

const struct zwlr_data_control_source_v1_interface kSourceRequests {
    .offer = [](wl_client*, wl_resource*, const char*) {},
    .destroy = [](wl_client*, wl_resource* source) { wl_resource_destroy(source); }
};

const struct zwlr_data_control_device_v1_interface kDeviceRequests {
    .set_selection = [](wl_client*, wl_resource*, wl_resource*) {},
    .destroy = [](wl_client*, wl_resource* device) { wl_resource_destroy(device); },
    .set_primary_selection = [](wl_client*, wl_resource*, wl_resource*) {}
};

void forgetDevice(wl_resource* device) {
    std::erase(stateOf(device)->devices, device);
}

const struct zwlr_data_control_manager_v1_interface kManagerRequests {
    .create_data_source =
        [](wl_client* client, wl_resource* manager, std::uint32_t id) {
            wl_resource* source = wl_resource_create(client, &zwlr_data_control_source_v1_interface,
                                                     wl_resource_get_version(manager), id);
            wl_resource_set_implementation(source, &kSourceRequests, nullptr, nullptr);
        },
    .get_data_device =
        [](wl_client* client, wl_resource* manager, std::uint32_t id, wl_resource*) {
            State* state = stateOf(manager);
            wl_resource* device = wl_resource_create(client, &zwlr_data_control_device_v1_interface,
                                                     wl_resource_get_version(manager), id);
            wl_resource_set_implementation(device, &kDeviceRequests, state, &forgetDevice);
            state->devices.push_back(device);
            if (!state->types.isEmpty())
                state->announceSelection(device);
        },
    .destroy = [](wl_client*, wl_resource* manager) { wl_resource_destroy(manager); }
};

// Velmora binds the seat only to name it to the data control manager.
const struct wl_seat_interface kSeatRequests {
    .get_pointer = [](wl_client*, wl_resource*, std::uint32_t) {},
    .get_keyboard = [](wl_client*, wl_resource*, std::uint32_t) {},
    .get_touch = [](wl_client*, wl_resource*, std::uint32_t) {},
    .release = [](wl_client*, wl_resource* seat) { wl_resource_destroy(seat); }
};

} // namespace

StandInCompositor::StandInCompositor() : m_state(std::make_unique<State>()) {
    State* state = m_state.get();
    state->socket = wl_display_add_socket_auto(state->display);
    state->seat = wl_global_create(
        state->display, &wl_seat_interface, 1, state,
        [](wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
            wl_resource* seat = wl_resource_create(client, &wl_seat_interface, int(version), id);
            wl_resource_set_implementation(seat, &kSeatRequests, data, nullptr);
        });
    state->dataControl = wl_global_create(
        state->display, &zwlr_data_control_manager_v1_interface, 2, state,
        [](wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
            wl_resource* manager = wl_resource_create(
                client, &zwlr_data_control_manager_v1_interface, int(version), id);
            wl_resource_set_implementation(manager, &kManagerRequests, data, nullptr);
        });
    state->waking = wl_event_loop_add_fd(
        wl_display_get_event_loop(state->display), state->wake, WL_EVENT_READABLE,
        [](int fd, std::uint32_t, void* data) {
            std::uint64_t count;
            (void)::read(fd, &count, sizeof count);
            auto* state = static_cast<State*>(data);
            std::vector<std::function<void()>> tasks;
            {
                const std::lock_guard lock(state->mutex);
                tasks.swap(state->tasks);
            }
            for (const auto& task : tasks)
                task();
            return 0;
        },
        state);
    state->thread = std::thread([state] {
        wl_event_loop* loop = wl_display_get_event_loop(state->display);
        while (!state->stopping) {
            wl_display_flush_clients(state->display);
            wl_event_loop_dispatch(loop, 50);
        }
    });
}

StandInCompositor::~StandInCompositor() {
    m_state->run([state = m_state.get()] {
        state->answer = nullptr;
        state->stopping = true;
    });
    m_state->thread.join();
    wl_event_source_remove(m_state->waking);
    wl_display_destroy_clients(m_state->display);
    wl_display_destroy(m_state->display);
    close(m_state->wake);
}

QByteArray StandInCompositor::socketName() const {
    return m_state->socket;
}

void StandInCompositor::offerSelection(const QStringList& types, Answer answer) {
    m_state->run([&, state = m_state.get()] {
        state->types = types;
        state->answer = std::move(answer);
        for (wl_resource* device : state->devices)
            state->announceSelection(device);
    });
}

void StandInCompositor::withdrawDataControl() {
    m_state->run([state = m_state.get()] { wl_global_remove(state->dataControl); });
}

void StandInCompositor::disconnectClients() {
    m_state->run([state = m_state.get()] { wl_display_destroy_clients(state->display); });
}

StandInCompositor::Answer sends(QByteArray data) {
    return [data](const QByteArray&, int fd) {
        (void)::write(fd, data.constData(), size_t(data.size()));
        close(fd);
    };
}

StandInCompositor::Answer neverSends() {
    struct KeptOpen {
        std::vector<int> fds;
        ~KeptOpen() {
            for (int fd : fds)
                close(fd);
        }
    };
    auto kept = std::make_shared<KeptOpen>();
    return [kept](const QByteArray&, int fd) { kept->fds.push_back(fd); };
}

StandInCompositor::Answer sendsEndlessly() {
    struct Writers {
        std::vector<std::jthread> threads;
    };
    auto writers = std::make_shared<Writers>();
    return [writers](const QByteArray&, int fd) {
        writers->threads.emplace_back([fd](std::stop_token stop) {
            const QByteArray chunk(1 << 20, 'x');
            while (!stop.stop_requested()) {
                pollfd ready{fd, POLLOUT, 0};
                if (poll(&ready, 1, 50) == 0)
                    continue;
                if (::write(fd, chunk.constData(), size_t(chunk.size())) < 0 && errno != EINTR)
                    break;
            }
            close(fd);
        });
    };
}

} // namespace stand_in
