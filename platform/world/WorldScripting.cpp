#include "platform/services/BrowserScripting.h"
#include "platform/services/MailScripting.h"
#include "platform/services/ScriptCommands.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QFileInfo>
#include <algorithm>

namespace platform::world {

namespace {
const QString kSystemEvents = QStringLiteral("System Events");
const QString kFinder = QStringLiteral("Finder");
} // namespace

ScriptReply WorldScriptApplication::setDesktopPicture(const std::vector<ScriptValue>& arguments) {
    const QString path = arguments.at(0).toText();
    if (arguments.at(0).kind() != ScriptValue::Kind::Text || !QFileInfo(path).isFile())
        return {fnfErr, ScriptValue(),
                QStringLiteral("Can't make %1 into a file.")
                    .arg(arguments.at(0).displayForm().value_or(QString()))};
    m_world.finder.desktopPicture = path;
    m_world.record(events::DesktopPicture{path});
    return {};
}

ScriptReply WorldScriptApplication::selectedSenders(const std::vector<ScriptValue>& arguments) {
    if (!m_world.mail.senders)
        return {errAENoSuchObject, ScriptValue(), QStringLiteral("No message is selected.")};
    QStringList lines = m_world.mail.senders->split(u'\n');
    if (arguments.at(0).kind() == ScriptValue::Kind::Boolean && arguments.at(0).toBool())
        std::reverse(lines.begin(), lines.end());
    return {noErr, ScriptValue::text(lines.join(u'\n')), QString()};
}

ScriptReply WorldScriptApplication::makeMessage(const std::vector<ScriptValue>& arguments) {
    auto request = ReadMailMessageRequest(arguments);
    if (const auto* refused = std::get_if<ScriptReply>(&request))
        return *refused;
    auto& [attachments, text] = std::get<MailMessageRequest>(request);
    m_world.record(events::MailMessage{std::move(attachments), std::move(text)});
    return {};
}

ScriptReply WorldScriptApplication::perform(const QString& command,
                                            const std::vector<ScriptValue>& arguments) {
    if (command == script_commands::kHideOthers) {
        m_world.record(events::HideOthers{});
        return {};
    }
    if (command == script_commands::kCopyKeystroke) {
        m_world.record(events::Keystroke{QStringLiteral("copy")});
        const auto& front = m_world.frontApp;
        if (!front || !front->selectedText || !front->answersCopy)
            return {};
        if (front->copyDelay.count() > 0)
            m_world.pendingCopy =
                PendingCopy{*front->selectedText, QDeadlineTimer(front->copyDelay)};
        else
            m_world.copyToClipboard(*front->selectedText);
        return {};
    }
    if (command == script_commands::kPasteKeystroke) {
        m_world.record(events::Keystroke{QStringLiteral("paste")});
        return {};
    }
    // A browser told to answer starts without a window when it is not running.
    if (IsBrowserCommand(command)) {
        const ApplicationState& browser = m_world.applications[m_name];
        return BrowserReply(m_name, command, arguments,
                            browser.running ? browser.windowTitle : std::nullopt);
    }
    if (command == script_commands::kActivate) {
        m_world.applications[m_name].running = true;
        m_world.record(events::Activate{m_name});
        return {};
    }
    if (command == script_commands::kNewDocumentFromClipboard) {
        m_world.record(events::PreviewFromClipboard{});
        return {};
    }
    if (command == script_commands::kDesktopPicturePath) {
        if (!m_world.finder.desktopPicture)
            return {errAENoSuchObject, ScriptValue(), QStringLiteral("Can't get desktop picture.")};
        return {noErr, ScriptValue::text(*m_world.finder.desktopPicture), QString()};
    }
    if (command == script_commands::kSetDesktopPicture)
        return setDesktopPicture(arguments);
    if (command == script_commands::kSelectedSenders)
        return selectedSenders(arguments);
    if (command == script_commands::kMakeMessage)
        return makeMessage(arguments);
    return NotUnderstood(m_name, command);
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
    m_world.record(events::Script{source, status});
}

} // namespace platform::world
