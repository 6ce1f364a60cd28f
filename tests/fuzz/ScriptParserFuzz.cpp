// Any text given to the script dialect compiles or fails as a syntax error: it never crashes,
// overflows the stack, reads out of bounds or fails some other way.
#include "platform/script/ScriptInterpreter.h"
#include "platform/script/ScriptTokens.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto compiled = CompileScript(source);
    if (const auto* failure = std::get_if<ScriptFailure>(&compiled);
        failure && failure->status != errOSASyntaxError)
        std::abort();
    ReadStringLiteral(source);
    return 0;
}
