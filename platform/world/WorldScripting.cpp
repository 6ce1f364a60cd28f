#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

namespace platform::world {

namespace {
const QString kSystemEvents = QStringLiteral("System Events");
const QString kFinder = QStringLiteral("Finder");
constexpr OSStatus errAEEventNotHandled = -1708;
} // namespace

ScriptReply WorldScriptApplication::perform(const QString& command,
                                            const std::vector<ScriptValue>&) {
    if (command == QLatin1String("hideOthers")) {
        m_world.record({{QStringLiteral("hide_others"), true}});
        return {};
    }
    if (command == QLatin1String("activate")) {
        m_world.applications[m_name].running = true;
        m_world.record({{QStringLiteral("activate"), m_name}});
        return {};
    }
    if (command == QLatin1String("newDocumentFromClipboard")) {
        m_world.record({{QStringLiteral("preview_from_clipboard"), true}});
        return {};
    }
    return {errAEEventNotHandled, ScriptValue(),
            QStringLiteral("%1 doesn't understand the \"%2\" message.").arg(m_name, command)};
}

ScriptApplication* WorldScripting::application(const QString& name) {
    const bool there = name == kSystemEvents || (name == kFinder && m_world.finder.running) ||
                       (m_world.applications.count(name) && m_world.applications[name].installed);
    if (!there)
        return nullptr;
    auto& application = m_applications[name];
    if (!application)
        application = std::make_unique<WorldScriptApplication>(m_world, name);
    return application.get();
}

void WorldScripting::didRun(const QString& source, OSStatus status) {
    m_world.record({{QStringLiteral("script"),
                     QJsonObject{{QStringLiteral("text"), source}, {QStringLiteral("status"), status}}}});
}

} // namespace platform::world
