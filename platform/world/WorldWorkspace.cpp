#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QFileInfo>
#include <QPixmap>

namespace platform::world {

bool WorldWorkspace::openFile(const QString& path) {
    m_world.record(events::Open{path});
    return QFileInfo::exists(path);
}

std::optional<QIcon> WorldWorkspace::iconForFile(const QString& path) {
    bool isApplication = false;
    for (const auto& [name, state] : m_world.applications)
        isApplication = isApplication || (state.installed && World::applicationPath(name) == path);
    if (!isApplication && !QFileInfo::exists(path))
        return std::nullopt;
    // A grey square drawn at three sizes, as icon themes give several.
    QIcon icon;
    for (const int side : {16, 32, 128}) {
        QPixmap size(side, side);
        size.fill(Qt::gray);
        icon.addPixmap(size);
    }
    return icon;
}

std::optional<QString> WorldWorkspace::fullPathForApplication(const QString& name) {
    const auto found = m_world.applications.find(name);
    if (found == m_world.applications.end() || !found->second.installed)
        return std::nullopt;
    return World::applicationPath(name);
}

bool WorldWorkspace::launchApplication(const QString& path) {
    for (auto& [name, state] : m_world.applications) {
        if (state.installed && World::applicationPath(name) == path) {
            state.running = true;
            m_world.record(events::Launch{name});
            return true;
        }
    }
    return false;
}

bool WorldWorkspace::selectFile(const QString& path) {
    m_world.record(events::Reveal{path});
    return QFileInfo::exists(path);
}

QString WorldLocations::home() const {
    return m_world.home();
}

QString WorldLocations::resourceDir() const {
    return m_world.resourceFolder;
}

QString WorldLocations::temporaryItems() const {
    return m_world.temp();
}

QString WorldLocations::fileMappingTable() const {
    return m_world.fileMappingTable();
}

QString WorldLocations::helperPrograms() const {
    return m_world.helperFolder;
}

QString WorldLocations::dataHome() const {
    return m_world.home() + QStringLiteral("/.local/share");
}

QString WorldLocations::cacheHome() const {
    return m_world.home() + QStringLiteral("/.cache");
}

QString WorldLocations::configHome() const {
    return m_world.home() + QStringLiteral("/.config");
}

void WorldApplication::terminate() {
    m_world.record(events::Quit{});
}

QDateTime WorldApplication::now() {
    return m_world.now ? *m_world.now : QDateTime::currentDateTimeUtc();
}

} // namespace platform::world
