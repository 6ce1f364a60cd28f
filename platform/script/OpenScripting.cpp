#include "platform/script/OpenScripting.h"

#include "platform/local/text/TextEncodings.h"
#include "platform/script/ScriptInterpreter.h"
#include "platform/services/Platform.h"
#include "platform/services/Scripting.h"

#include <map>
#include <variant>

namespace {

struct CompiledEntry {
    CompiledScript script;
    QString source;
};

struct Component {
    OSAID nextID = 1;
    std::map<OSAID, std::variant<CompiledEntry, ScriptValue>> entries;
};

constexpr ComponentInstance kAppleScriptComponent = 1;

Component& component() {
    static Component instance;
    return instance;
}

std::optional<QString> sourceText(const AEDesc& source) {
    if (source.descriptorType == typeUnicodeText) {
        if (source.data.size() % 2 != 0)
            return std::nullopt;
        return QString(reinterpret_cast<const QChar*>(source.data.constData()),
                       source.data.size() / 2);
    }
    if (source.descriptorType == typeUTF8Text || source.descriptorType == typeChar)
        return DecodeUtf8Exactly(source.data);
    return std::nullopt;
}

OSAID keep(std::variant<CompiledEntry, ScriptValue> entry) {
    Component& c = component();
    const OSAID id = c.nextID++;
    c.entries.emplace(id, std::move(entry));
    return id;
}

} // namespace

ComponentInstance OpenDefaultComponent(OSType type, OSType subtype) {
    return type == kOSAComponentType && subtype == kAppleScriptSubtype ? kAppleScriptComponent : 0;
}

OSAError OSACompile(ComponentInstance instance, const AEDesc* source, long,
                    OSAID* compiledScriptID) {
    if (instance != kAppleScriptComponent)
        return badComponentInstance;
    if (!source || !compiledScriptID)
        return paramErr;
    *compiledScriptID = kOSANullScript;
    const auto text = sourceText(*source);
    if (!text)
        return errAEWrongDataType;
    auto compiled = CompileScript(*text);
    if (auto* failure = std::get_if<ScriptFailure>(&compiled)) {
        platform::scripting().didRun(*text, failure->status);
        return failure->status;
    }
    *compiledScriptID = keep(CompiledEntry{std::get<CompiledScript>(compiled), *text});
    return noErr;
}

OSAError OSAExecute(ComponentInstance instance, OSAID compiledScriptID, OSAID, long,
                    OSAID* resultingScriptValueID) {
    if (instance != kAppleScriptComponent)
        return badComponentInstance;
    if (!resultingScriptValueID)
        return paramErr;
    *resultingScriptValueID = kOSANullScript;
    const auto found = component().entries.find(compiledScriptID);
    if (found == component().entries.end() || !std::holds_alternative<CompiledEntry>(found->second))
        return errOSAInvalidID;
    const CompiledEntry entry = std::get<CompiledEntry>(found->second);
    auto result = ExecuteScript(entry.script, platform::scripting());
    if (auto* failure = std::get_if<ScriptFailure>(&result)) {
        platform::scripting().didRun(entry.source, failure->status);
        return failure->status;
    }
    platform::scripting().didRun(entry.source, noErr);
    *resultingScriptValueID = keep(std::get<ScriptValue>(std::move(result)));
    return noErr;
}

OSAError OSADisplay(ComponentInstance instance, OSAID scriptValueID, DescType, long,
                    AEDesc* resultingText) {
    if (instance != kAppleScriptComponent)
        return badComponentInstance;
    if (!resultingText)
        return paramErr;
    const auto found = component().entries.find(scriptValueID);
    if (found == component().entries.end() || !std::holds_alternative<ScriptValue>(found->second))
        return errOSAInvalidID;
    const auto display = std::get<ScriptValue>(found->second).displayForm();
    if (!display)
        return errOSAInvalidID;
    *resultingText =
        AECreateDesc(typeUnicodeText, QByteArray(reinterpret_cast<const char*>(display->utf16()),
                                                 display->size() * qsizetype(sizeof(char16_t))));
    return noErr;
}

OSAError OSADispose(ComponentInstance instance, OSAID scriptID) {
    if (instance != kAppleScriptComponent)
        return badComponentInstance;
    component().entries.erase(scriptID);
    return noErr;
}
