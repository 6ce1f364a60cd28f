// Running scripts: texts built in memory and the script resources in the resources folder.
//
// Two paths, as the callers expect them:
//   the component path   Initialize, CFStringToAEDesc, CompileCFStringScriptText,
//                        RunCFStringScript (a status), RunCFStringScriptAndReturn (the result
//                        as script source: a text comes back in double quotes) ScriptComponent.cpp
//   script objects       RunScript2 / RunCFStringScript2 (the result's string), RunScriptResource
//                        and RunScriptResource2 with a text replacement, and RunScriptResource
//                        with flags                                               ScriptObjects.cpp
// Every function blocks until the script and the applications it drives are done.
#pragma once

#include "platform/local/files/AEDesc.h"
#include "platform/script/OpenScripting.h"

#include <QString>
#include <optional>

// The scripting component, opened on first use and kept; 0 until then.
extern ComponentInstance sComponent;

void Initialize();

// A 'utxt' descriptor of the text's UTF-16 code units. memFullErr when they cannot be had.
OSStatus CFStringToAEDesc(const QString& text, AEDesc* desc);

// Compiles the text; `scriptID` is 0 unless the status is noErr.
OSStatus CompileCFStringScriptText(const QString& text, OSAID* scriptID);

// noErr, or the status of compiling or executing.
OSStatus RunCFStringScript(const QString& text);

// The result as script source, or none.
std::optional<QString> RunCFStringScriptAndReturn(const QString& text);

// The result's string, or none. With `toPasteboard`, the string is also put on the clipboard,
// and none when the clipboard does not take it.
// A failure is written to the system log as "RunCFStringScript error = <message>".
std::optional<QString> RunCFStringScript2(const QString& text, unsigned char toPasteboard);
std::optional<QString> RunScript2(const QString& text, unsigned char toPasteboard);

// Runs the resource `name`, read as Mac OS Roman text, after replacing every occurrence of
// `target` (when given and not empty), in any letter case, by `replacement`. The result's
// string, or none; nothing is logged.
std::optional<QString> RunScriptResource(const QString& name, const std::optional<QString>& target,
                                         const QString& replacement);
std::optional<QString> RunScriptResource2(const QString& name, const std::optional<QString>& target,
                                          const QString& replacement);

// Runs the resource `name` with flags:
//   replaceFalse  the script's first "false" becomes "true" before it runs;
//   toPasteboard  the result's string is put on the clipboard;
//   commas        line breaks in the result become commas (a CR LF pair gives one comma);
//   silent        no "Ping" after a run that gave a string.
std::optional<QString> RunScriptResource(const QString& name, unsigned char replaceFalse,
                                         unsigned char toPasteboard, unsigned char commas,
                                         unsigned char silent);
