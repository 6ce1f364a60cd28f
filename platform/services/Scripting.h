// The applications that scripts talk to.
//
// The dialect's interpreter (platform/script/) reads a script and, for each command that a
// `tell application` block sends, asks this service for the application and has it perform the
// command, named as the application's dictionary names it. The Linux desktop answers with the
// real applications; the in-memory world with recording ones.
#pragma once

#include "platform/types/MacTypes.h"
#include "platform/types/ScriptValue.h"

#include <QString>
#include <vector>

namespace platform {

struct ScriptReply {
    OSStatus status = noErr;
    ScriptValue value;
    QString errorMessage; // for a failed command, what the script's error reports
};

constexpr OSStatus errAEEventNotHandled = -1708;

// The reply of an application to a command it does not know.
inline ScriptReply NotUnderstood(const QString& application, const QString& command) {
    return {errAEEventNotHandled, ScriptValue(),
            QStringLiteral("%1 doesn't understand the \"%2\" message.").arg(application, command)};
}

class ScriptApplication {
public:
    virtual ~ScriptApplication() = default;
    virtual ScriptReply perform(const QString& command,
                                const std::vector<ScriptValue>& arguments) = 0;
};

class ScriptingService {
public:
    virtual ~ScriptingService() = default;
    // The application of that name, or null when it is not there.
    virtual ScriptApplication* application(const QString& name) = 0;
    // Told of every script run and how it ended.
    virtual void didRun(const QString& source, OSStatus status) = 0;
};

} // namespace platform
