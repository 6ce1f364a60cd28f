#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QFileInfo>
#include <QPixmap>

namespace platform::world {

bool WorldWorkspace::openFile(const QString& path) {
    m_world.record({{QStringLiteral("open"), m_world.abbreviate(path)}});
    return QFileInfo::exists(path);
}

std::optional<QIcon> WorldWorkspace::iconForFile(const QString& path) {
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QPixmap icon(16, 16);
    icon.fill(Qt::gray);
    return QIcon(icon);
}

QString WorldLocations::home() const {
    return m_world.home();
}

QString WorldLocations::resourceDir() const {
    return QStringLiteral(VELMORA_RESOURCE_DIR);
}

void WorldApplication::terminate() {
    m_world.record({{QStringLiteral("quit"), true}});
}

} // namespace platform::world
