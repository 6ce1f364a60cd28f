// What Mail's "make new message" statement hands both desktops' Mail: the list of paths to
// attach and the text.
#pragma once

#include "platform/services/Scripting.h"

#include <QStringList>
#include <variant>
#include <vector>

struct MailMessageRequest {
    QStringList attachments;
    QString text;
};

// The request, or the reply that refuses arguments of other kinds.
std::variant<MailMessageRequest, platform::ScriptReply>
ReadMailMessageRequest(const std::vector<ScriptValue>& arguments);
