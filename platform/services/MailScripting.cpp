#include "platform/services/MailScripting.h"

std::variant<MailMessageRequest, platform::ScriptReply>
ReadMailMessageRequest(const std::vector<ScriptValue>& arguments) {
    const platform::ScriptReply refused{
        errAEWrongDataType, ScriptValue(),
        QStringLiteral("Can't make a message of these attachments.")};
    if (arguments.size() != 2 || arguments[0].kind() != ScriptValue::Kind::List ||
        arguments[1].kind() != ScriptValue::Kind::Text)
        return refused;
    MailMessageRequest request{{}, arguments[1].toText()};
    for (const ScriptValue& file : arguments[0].items()) {
        if (file.kind() != ScriptValue::Kind::Text)
            return refused;
        request.attachments.append(file.toText());
    }
    return request;
}
