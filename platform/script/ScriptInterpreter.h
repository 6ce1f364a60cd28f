// The interpreter of the script dialect: compiling a script text, and running it against the
// applications of the scripting service.
//
// The dialect has exactly the statements the system's scripts use:
//   tell application "Name" ... end tell, and tell application "Name" to <statement>;
//   inside a tell, the statements of that application's dictionary (ScriptDictionaries.h);
//   set <variable> to <value>, return <value>, and a value on its own;
// where a value is a string literal, an integer, true, false, a variable, a list {a, b},
// item <n> of <value>, a dictionary expression inside a tell, or a value in parentheses.
// The result of a script is the value of its last statement, or of `return`.
//
// Tell blocks and values nest at most kMaxScriptNesting levels deep, far deeper than any script
// of the system; a deeper script is a syntax error. Compiling takes time linear in the script's
// length.
#pragma once

#include "platform/types/MacTypes.h"
#include "platform/types/ScriptValue.h"

#include <QString>
#include <memory>
#include <variant>

namespace platform {
class ScriptingService;
}

enum : OSStatus {
    errOSAScriptError = -2700,
    errOSASyntaxError = -2740,
    errOSAUndefinedVariable = -2753,
};

inline constexpr int kMaxScriptNesting = 100;

struct ScriptFailure {
    OSStatus status;
    QString message;
};

// A compiled script; it can be run any number of times.
class CompiledScript {
public:
    struct Program;
    explicit CompiledScript(std::shared_ptr<const Program> program);
    const Program& program() const { return *m_program; }

private:
    std::shared_ptr<const Program> m_program;
};

// The compiled script, or errOSASyntaxError with a message naming the line.
std::variant<CompiledScript, ScriptFailure> CompileScript(const QString& source);

// Runs the script; its result, or how it failed (procNotFound for an application that is not
// there, the application's own status for a command it refused).
std::variant<ScriptValue, ScriptFailure> ExecuteScript(const CompiledScript& script,
                                                       platform::ScriptingService& applications);
