#include "platform/world/World.h"

#include "platform/world/WorldServices.h"

#include <QDir>
#include <QFile>

namespace platform::world {

struct World::Backends {
    explicit Backends(World& world)
        : application(world), finder(world), locations(world), processes(world), statusBar(world),
          workspace(world) {}
    WorldApplication application;
    WorldFinder finder;
    WorldLocations locations;
    WorldProcesses processes;
    WorldStatusBar statusBar;
    WorldWorkspace workspace;
};

World::World() : m_backends(std::make_unique<Backends>(*this)) {
    const QString base = m_dir.path();
    m_root = base + QStringLiteral("/root");
    m_home = base + QStringLiteral("/home");
    m_temp = base + QStringLiteral("/temporary-items");
    QDir().mkpath(m_root);
    QDir().mkpath(m_home);
    QDir().mkpath(m_temp);
    QFile::setPermissions(m_temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_services = Services{&m_backends->application, &m_backends->finder,    &m_backends->locations,
                          &m_backends->processes,   &m_backends->statusBar, &m_backends->workspace};
}

World::~World() = default;

bool World::isValid() const {
    return m_dir.isValid();
}

QString World::expand(const QString& text) const {
    const std::pair<QLatin1String, QString> marks[] = {{QLatin1String("$ROOT/"), m_root},
                                                       {QLatin1String("$HOME/"), m_home},
                                                       {QLatin1String("$TEMP/"), m_temp}};
    for (const auto& [mark, folder] : marks) {
        if (text.startsWith(mark))
            return folder + u'/' + text.mid(mark.size());
    }
    return text;
}

QString World::abbreviate(const QString& path) const {
    const std::pair<QString, QLatin1String> marks[] = {{m_root, QLatin1String("$ROOT")},
                                                       {m_home, QLatin1String("$HOME")},
                                                       {m_temp, QLatin1String("$TEMP")}};
    for (const auto& [folder, mark] : marks) {
        if (path == folder)
            return mark + u'/';
        if (path.startsWith(folder + u'/'))
            return mark + path.mid(folder.size());
    }
    return path;
}

void World::record(const QJsonObject& event) {
    m_events.append(event);
}

} // namespace platform::world
