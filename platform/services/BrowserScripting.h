// What a browser answers to the title statements of the dialect, given the title of its front
// page (none: it has no window). Both desktops' browsers answer through it, so that they differ
// only in how they find the title.
#pragma once

#include "platform/services/Scripting.h"

#include <QString>
#include <optional>
#include <vector>

namespace platform {

// True for the commands a browser answers.
bool IsBrowserCommand(const QString& command);

// The reply to a browser command; the front window is window 1, and the only JavaScript a
// browser runs for the system is "document.title".
ScriptReply BrowserReply(const QString& browser, const QString& command,
                         const std::vector<ScriptValue>& arguments,
                         const std::optional<QString>& frontTitle);

} // namespace platform
