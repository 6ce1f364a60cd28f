#include "prefs/PreferenceKeys.h"

namespace {

constexpr BooleanPreference kBooleanPreferences[] = {
    {"IncludeContent", true},
    {"IncludeSource", true},
    {"IncludeSubject", true},
    {"IncludeReplyTo", true},
    {"IncludeSummary", true},
    {"IncludeSender", true},
    {"IncludeSenderName", true},
    {"IncludeSenderAddress", true},
    {"IncludeRecipient", true},
    {"IncludeRecipientName", true},
    {"IncludeRecipientAddress", true},
    {"MessageID", true},
    {"MailMessageID", true},
    {"AllHeaders", true},
    {"AllHeadersContent", true},
    {"IncludeDate", true},
    {"IncludeTime", true},
    {"IncludeAddRecipientToAddressBook", true},
    {"IncludeAddToAddressBook", true},
    {"IncludeSaveToPDF", true},
    {"IncludeSaveToRTF", true},
    {"MakeAsSubmenu", true},
    {"UseCommaDelimiter", false},
    {"ReverseOrder", false},
    {"DontMakeCompletionSound", false},
};

} // namespace

std::span<const BooleanPreference> BooleanPreferences() {
    return kBooleanPreferences;
}
