#include "platform/services/BrowserScripting.h"

#include "platform/services/ScriptCommands.h"

namespace platform {

namespace {
constexpr long long kFrontWindowIndex = 1;
} // namespace

bool IsBrowserCommand(const QString& command) {
    return command == script_commands::kFrontPageTitle ||
           command == script_commands::kFrontWindowProperties ||
           command == script_commands::kFrontWindow || command == script_commands::kDoJavaScript;
}

ScriptReply BrowserReply(const QString& browser, const QString& command,
                         const std::vector<ScriptValue>& arguments,
                         const std::optional<QString>& frontTitle) {
    if (!IsBrowserCommand(command))
        return NotUnderstood(browser, command);
    if (!frontTitle)
        return {errAENoSuchObject, ScriptValue(), QStringLiteral("Can't get window 1.")};
    if (command == script_commands::kFrontWindow)
        return {noErr, ScriptValue::integer(kFrontWindowIndex), QString()};
    if (command == script_commands::kFrontWindowProperties)
        return {noErr,
                ScriptValue::list(
                    {ScriptValue::integer(kFrontWindowIndex), ScriptValue::text(*frontTitle)}),
                QString()};
    if (command == script_commands::kDoJavaScript) {
        const ScriptValue& window = arguments.at(1);
        if (window.kind() != ScriptValue::Kind::Integer || window.toInteger() != kFrontWindowIndex)
            return {errAENoSuchObject, ScriptValue(), QStringLiteral("Can't get that window.")};
        if (arguments.at(0).kind() != ScriptValue::Kind::Text ||
            arguments.at(0).toText() != QLatin1String("document.title"))
            return {errAEEventNotHandled, ScriptValue(),
                    QStringLiteral("%1 runs no other script for Velmora.").arg(browser)};
    }
    return {noErr, ScriptValue::text(*frontTitle), QString()};
}

} // namespace platform
