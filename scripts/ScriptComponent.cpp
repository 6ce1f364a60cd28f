// The component path: compile, execute and display through the scripting component.
#include "scripts/ScriptRunner.h"

#include <new>

ComponentInstance sComponent = 0;

void Initialize() {
    if (sComponent == 0)
        sComponent = OpenDefaultComponent(kOSAComponentType, kAppleScriptSubtype);
}

OSStatus CFStringToAEDesc(const QString& text, AEDesc* desc) {
    if (!desc)
        return paramErr;
    try {
        const QByteArray units(reinterpret_cast<const char*>(text.utf16()),
                               text.size() * qsizetype(sizeof(char16_t)));
        *desc = AECreateDesc(typeUnicodeText, units);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return noErr;
}

OSStatus CompileCFStringScriptText(const QString& text, OSAID* scriptID) {
    if (!scriptID)
        return paramErr;
    *scriptID = kOSANullScript;
    AEDesc source;
    const OSStatus status = CFStringToAEDesc(text, &source);
    if (status != noErr)
        return status;
    const OSAError compiled = OSACompile(sComponent, &source, kOSAModeNull, scriptID);
    AEDisposeDesc(&source);
    return compiled;
}

OSStatus RunCFStringScript(const QString& text) {
    Initialize();
    OSAID script = kOSANullScript;
    OSStatus status = CompileCFStringScriptText(text, &script);
    if (status != noErr)
        return status;
    OSAID result = kOSANullScript;
    status = OSAExecute(sComponent, script, kOSANullScript, kOSAModeNull, &result);
    OSADispose(sComponent, script);
    if (status != noErr)
        return status;
    OSADispose(sComponent, result);
    return noErr;
}

std::optional<QString> RunCFStringScriptAndReturn(const QString& text) {
    Initialize();
    OSAID script = kOSANullScript;
    if (CompileCFStringScriptText(text, &script) != noErr)
        return std::nullopt;
    OSAID result = kOSANullScript;
    const OSStatus status = OSAExecute(sComponent, script, kOSANullScript, kOSAModeNull, &result);
    OSADispose(sComponent, script);
    if (status != noErr)
        return std::nullopt;
    std::optional<QString> display;
    AEDesc shown;
    if (OSADisplay(sComponent, result, typeChar, kOSAModeNull, &shown) == noErr) {
        AEDesc utf8;
        if (AECoerceDesc(&shown, typeUTF8Text, &utf8) == noErr) {
            display = QString::fromUtf8(utf8.data);
            AEDisposeDesc(&utf8);
        }
        AEDisposeDesc(&shown);
    }
    OSADispose(sComponent, result);
    return display;
}
