#include "platform/linux/wayland/ForeignToplevels.h"

#include "platform/linux/wayland/WaylandConnection.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <wayland-client.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// Longer than any window shows: what lies beyond is not a title but a program's mistake.
constexpr qsizetype kLongestTitle = 65536;
constexpr std::uint32_t kVersion = 3;
// How long the compositor may take to list the toplevels there are.
constexpr auto kConnectLimit = 1000ms;

struct Entry {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    Toplevel now;
    // What has come since the last done event.
    Toplevel pending;
    // Whether its details have all come once: until then it is not shown.
    bool complete = false;
};

} // namespace

QString TextFromCompositor(const char* text) {
    QString title = QString::fromUtf8(text ? text : "");
    if (title.size() > kLongestTitle) {
        qsizetype cut = kLongestTitle;
        if (title.at(cut - 1).isHighSurrogate())
            --cut;
        title.truncate(cut);
    }
    return title;
}

struct ForeignToplevels::State {
    std::shared_ptr<WaylandConnection> connection;
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    wl_seat* seat = nullptr;
    std::map<quint64, Entry> entries;
    quint64 nextId = 1;
    std::uint64_t activations = 0;
    // The manager's global, and the connection's watch on it.
    std::uint32_t name = 0;
    int watch = 0;
    bool usable = true;

    Entry* entry(zwlr_foreign_toplevel_handle_v1* handle) {
        for (auto& [id, entry] : entries)
            if (entry.handle == handle)
                return &entry;
        return nullptr;
    }

    void withdraw(const char* why) {
        if (!usable)
            return;
        usable = false;
        for (auto& [id, entry] : entries)
            zwlr_foreign_toplevel_handle_v1_destroy(entry.handle);
        entries.clear();
        if (manager)
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
        manager = nullptr;
        std::fprintf(stderr, "velmora: the compositor's toplevel list is gone: %s\n", why);
    }

    static State* self(void* data) { return static_cast<State*>(data); }

    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                           zwlr_foreign_toplevel_handle_v1* handle) {
        State* state = self(data);
        Entry entry;
        entry.handle = handle;
        entry.now.id = entry.pending.id = state->nextId++;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, data);
        state->entries.emplace(entry.now.id, entry);
    }
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        State* state = self(data);
        if (state->manager == manager) {
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
            state->manager = nullptr;
        }
        state->withdraw("the compositor finished it");
    }
    static void onTitle(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* title) {
        if (Entry* entry = self(data)->entry(handle))
            entry->pending.title = TextFromCompositor(title);
    }
    static void onAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* id) {
        if (Entry* entry = self(data)->entry(handle))
            entry->pending.applicationId = TextFromCompositor(id);
    }
    static void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void onState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* states) {
        Entry* entry = self(data)->entry(handle);
        if (!entry)
            return;
        entry->pending.activated = entry->pending.minimized = false;
        const auto* begin = static_cast<const std::uint32_t*>(states->data);
        for (const auto* state = begin; state < begin + states->size / sizeof(std::uint32_t);
             ++state) {
            if (*state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                entry->pending.activated = true;
            else if (*state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
                entry->pending.minimized = true;
        }
    }
    static void onDone(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        State* state = self(data);
        Entry* entry = state->entry(handle);
        if (!entry)
            return;
        if (entry->pending.activated && !entry->now.activated)
            entry->pending.activatedAt = ++state->activations;
        entry->now = entry->pending;
        entry->complete = true;
    }
    static void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        State* state = self(data);
        if (Entry* entry = state->entry(handle)) {
            state->entries.erase(entry->now.id);
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
        }
    }
    static void onParent(void*, zwlr_foreign_toplevel_handle_v1*,
                         zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener{
        .toplevel = &onToplevel, .finished = &onFinished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener kHandleListener{
        .title = &onTitle,
        .app_id = &onAppId,
        .output_enter = &onOutput,
        .output_leave = &onOutput,
        .state = &onState,
        .done = &onDone,
        .closed = &onClosed,
        .parent = &onParent};
};

std::unique_ptr<ForeignToplevels>
ForeignToplevels::connect(std::shared_ptr<WaylandConnection> connection) {
    const auto global = connection && connection->usable()
                            ? connection->global(zwlr_foreign_toplevel_manager_v1_interface.name)
                            : std::nullopt;
    wl_seat* seat = global ? connection->seat() : nullptr;
    if (!seat)
        return nullptr;
    auto state = std::make_unique<State>();
    State* raw = state.get();
    raw->connection = std::move(connection);
    raw->seat = seat;
    raw->name = global->name;
    raw->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        raw->connection->bind(*global, &zwlr_foreign_toplevel_manager_v1_interface, kVersion));
    zwlr_foreign_toplevel_manager_v1_add_listener(raw->manager, &State::kManagerListener, raw);
    raw->watch =
        raw->connection->watch({raw->name}, [raw](const char* why) { raw->withdraw(why); });
    std::unique_ptr<ForeignToplevels> toplevels(new ForeignToplevels(std::move(state)));
    // Every toplevel there is comes at once, each with its details.
    toplevels->synchronize(kConnectLimit);
    return toplevels;
}

ForeignToplevels::ForeignToplevels(std::unique_ptr<State> state) : m_state(std::move(state)) {}

ForeignToplevels::~ForeignToplevels() {
    m_state->connection->forget(m_state->watch);
    for (auto& [id, entry] : m_state->entries)
        zwlr_foreign_toplevel_handle_v1_destroy(entry.handle);
    if (m_state->manager) {
        zwlr_foreign_toplevel_manager_v1_stop(m_state->manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_state->manager);
        m_state->connection->flush();
    }
}

bool ForeignToplevels::usable() const {
    return m_state->usable && m_state->connection->usable();
}

bool ForeignToplevels::synchronize(std::chrono::milliseconds limit) {
    if (!usable())
        return false;
    m_state->connection->roundtrip(limit);
    if (!m_state->connection->usable())
        m_state->withdraw("the connection to the compositor broke");
    return usable();
}

std::vector<Toplevel> ForeignToplevels::toplevels() const {
    std::vector<const Entry*> entries;
    if (usable())
        for (const auto& [id, entry] : m_state->entries)
            if (entry.complete)
                entries.push_back(&entry);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry* a, const Entry* b) {
        return a->now.activatedAt != b->now.activatedAt ? a->now.activatedAt > b->now.activatedAt
                                                        : a->now.id > b->now.id;
    });
    std::vector<Toplevel> list;
    for (const Entry* entry : entries)
        list.push_back(entry->now);
    return list;
}

std::optional<Toplevel> ForeignToplevels::find(quint64 id) const {
    if (!usable())
        return std::nullopt;
    const auto found = m_state->entries.find(id);
    if (found == m_state->entries.end() || !found->second.complete)
        return std::nullopt;
    return found->second.now;
}

std::optional<Toplevel> ForeignToplevels::activated() const {
    if (!usable())
        return std::nullopt;
    for (const auto& [id, entry] : m_state->entries)
        if (entry.now.activated)
            return entry.now;
    return std::nullopt;
}

bool ForeignToplevels::activate(quint64 id) {
    const auto found = m_state->entries.find(id);
    if (!usable() || found == m_state->entries.end())
        return false;
    zwlr_foreign_toplevel_handle_v1_activate(found->second.handle, m_state->seat);
    return m_state->connection->flush();
}

bool ForeignToplevels::setMinimized(quint64 id, bool minimized) {
    const auto found = m_state->entries.find(id);
    if (!usable() || found == m_state->entries.end())
        return false;
    if (minimized)
        zwlr_foreign_toplevel_handle_v1_set_minimized(found->second.handle);
    else
        zwlr_foreign_toplevel_handle_v1_unset_minimized(found->second.handle);
    return m_state->connection->flush();
}

// The compositor answers the requests sent before first, so that a state read afterwards is
// the one after them.
bool ForeignToplevels::waitUntilActivated(quint64 id, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    if (!synchronize(limit))
        return false;
    for (;;) {
        const auto toplevel = find(id);
        if (!toplevel)
            return false;
        if (toplevel->activated)
            return true;
        if (deadline.hasExpired())
            return false;
        m_state->connection->pump(int(std::max<qint64>(1, deadline.remainingTime())));
        if (!m_state->connection->usable())
            m_state->withdraw("the connection to the compositor broke");
    }
}

} // namespace platform::linuxdesk::wayland
