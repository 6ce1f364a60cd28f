// The scripting component: compile a script text, execute it, show its result as script text.
//
// A component instance keeps its compiled scripts and result values under numbers (OSAID) until
// they are disposed of. The component speaks the Velmora script dialect
// (platform/script/ScriptInterpreter.h) and reaches applications through the scripting service.
#pragma once

#include "platform/local/files/AEDesc.h"
#include "platform/types/MacTypes.h"

using ComponentInstance = quintptr;
using OSAID = UInt32;
using OSAError = OSStatus;

constexpr OSType kOSAComponentType = FOUR_CHAR_CODE("osa ");
constexpr OSType kAppleScriptSubtype = FOUR_CHAR_CODE("ascr");
constexpr long kOSAModeNull = 0;
constexpr OSAID kOSANullScript = 0;
constexpr DescType typeUnicodeText = FOUR_CHAR_CODE("utxt");
constexpr DescType typeUTF8Text = FOUR_CHAR_CODE("utf8");
constexpr DescType typeChar = FOUR_CHAR_CODE("TEXT");

enum : OSStatus {
    badComponentInstance = -2147450880,
    errOSAInvalidID = -1751,
};

// 0 when no component of that type and subtype exists.
ComponentInstance OpenDefaultComponent(OSType type, OSType subtype);

// `source` is a 'utxt' descriptor (UTF-16 code units in host order) or a 'utf8' one.
OSAError OSACompile(ComponentInstance component, const AEDesc* source, long modeFlags,
                    OSAID* compiledScriptID);
OSAError OSAExecute(ComponentInstance component, OSAID compiledScriptID, OSAID contextID,
                    long modeFlags, OSAID* resultingScriptValueID);
// The value as script source. The text comes back as 'utxt', whatever text type is asked for,
// so that no character is lost; it coerces to 'utf8'. errOSAInvalidID for a result that holds
// no value.
OSAError OSADisplay(ComponentInstance component, OSAID scriptValueID, DescType desiredType,
                    long modeFlags, AEDesc* resultingText);
OSAError OSADispose(ComponentInstance component, OSAID scriptID);
