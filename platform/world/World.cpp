#include "platform/world/World.h"

#include "platform/local/system/PreferenceStore.h"
#include "platform/world/WorldServices.h"

#include <QDir>
#include <QFile>

namespace platform::world {

struct World::Backends {
    explicit Backends(World& world)
        : alerts(world), application(world), finder(world), locations(world), log(world),
          notifications(world), output(world), pasteboard(world),
          preferences(world.home() + QStringLiteral("/.config/velmora")), processes(world),
          scripting(world), sounds(world), statusBar(world), windows(world), wordCompletion(world),
          workspace(world) {}
    WorldAlerts alerts;
    WorldApplication application;
    WorldFinder finder;
    WorldLocations locations;
    WorldLog log;
    WorldNotifications notifications;
    WorldOutput output;
    WorldPasteboard pasteboard;
    PreferenceStore preferences;
    WorldProcesses processes;
    WorldScripting scripting;
    WorldSounds sounds;
    WorldStatusBar statusBar;
    WorldWindows windows;
    WorldWordCompletion wordCompletion;
    WorldWorkspace workspace;
};

World::World()
    : m_root(m_dir.path() + QStringLiteral("/root")),
      m_home(m_dir.path() + QStringLiteral("/home")),
      m_temp(m_dir.path() + QStringLiteral("/temporary-items")),
      m_backends(std::make_unique<Backends>(*this)) {
    resourceFolder = QStringLiteral(VELMORA_RESOURCE_DIR);
    helperFolder = QStringLiteral(VELMORA_HELPER_DIR);
    // Mail comes with the desktop, as it does with the Mac's; it runs once it is asked.
    applications[QStringLiteral("Mail")] = ApplicationState{};
    QDir().mkpath(m_root);
    QDir().mkpath(m_home);
    QDir().mkpath(m_temp);
    QFile::setPermissions(m_temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile table(fileMappingTable());
    if (table.open(QIODevice::WriteOnly))
        table.write("application/pdf\t\tpdf\napplication/rtf\t\trtf\nimage/jpeg\t\tjpeg jpg jpe\n"
                    "image/png\t\tpng\ntext/html\t\thtml htm\ntext/plain\t\ttxt text\n");
    m_services = ServicesOf(*m_backends);
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

QString World::applicationPath(const QString& name) {
    return QStringLiteral("/Applications/") + name + QStringLiteral(".app");
}

QString World::abbreviateWithin(const QString& text) const {
    QString result = text;
    result.replace(m_root + u'/', QLatin1String("$ROOT/"));
    result.replace(m_home + u'/', QLatin1String("$HOME/"));
    result.replace(m_temp + u'/', QLatin1String("$TEMP/"));
    return result;
}

PreferenceStore& World::preferences() {
    return m_backends->preferences;
}

void World::record(Event event) {
    m_events.push_back(std::move(event));
}

void World::appendStandardOutput(const QString& text) {
    if (!m_events.empty()) {
        if (auto* last = std::get_if<events::Stdout>(&m_events.back())) {
            last->text += text;
            return;
        }
    }
    record(events::Stdout{text});
}

void World::copyToClipboard(const QString& text) {
    clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}};
    clipboard.scrap.clear();
    clipboard.ownedBySystem = false;
    clipboard.modified = true;
}

void World::answerDueCopy() {
    if (!pendingCopy || !pendingCopy->due.hasExpired())
        return;
    copyToClipboard(pendingCopy->text);
    pendingCopy.reset();
}

} // namespace platform::world
