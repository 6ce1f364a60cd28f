#include "platform/script/AppleScript.h"

#include "platform/script/ScriptInterpreter.h"
#include "platform/services/Platform.h"
#include "platform/services/Scripting.h"

std::optional<NSAppleEventDescriptor> NSAppleScript::executeAndReturnError(QVariantMap* errorInfo) {
    auto fail = [&](const ScriptFailure& failure) -> std::optional<NSAppleEventDescriptor> {
        platform::scripting().didRun(m_source, failure.status);
        if (errorInfo) {
            errorInfo->insert(NSAppleScriptErrorMessage, failure.message);
            errorInfo->insert(NSAppleScriptErrorNumber, int(failure.status));
        }
        return std::nullopt;
    };
    auto compiled = CompileScript(m_source);
    if (auto* failure = std::get_if<ScriptFailure>(&compiled))
        return fail(*failure);
    auto result = ExecuteScript(std::get<CompiledScript>(compiled), platform::scripting());
    if (auto* failure = std::get_if<ScriptFailure>(&result))
        return fail(*failure);
    platform::scripting().didRun(m_source, noErr);
    return NSAppleEventDescriptor(std::get<ScriptValue>(std::move(result)));
}
