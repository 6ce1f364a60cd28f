#include "platform/script/ScriptDictionaries.h"

#include <map>

namespace {

// Commands are named after what they do; each backend's applications perform them.
const std::map<QString, std::vector<DictionaryEntry>>& dictionaries() {
    static const std::map<QString, std::vector<DictionaryEntry>> tables = {
        {QStringLiteral("Finder"),
         {
             {"POSIX path of (desktop picture as alias)", "desktopPicturePath"},
             {"set desktop picture to POSIX file %v", "setDesktopPicture"},
         }},
        // The senders of the messages selected in Mail, one a line ("Name <address>" or a bare
        // address), newest first, or oldest first when the value is true.
        {QStringLiteral("Mail"),
         {
             {"senders of selection oldest first %v", "selectedSenders"},
         }},
        {QStringLiteral("System Events"),
         {
             {"set visible of every process whose frontmost is false to false", "hideOthers"},
         }},
        {QStringLiteral("Preview"),
         {
             {"activate", "activate"},
             {"make new document from clipboard", "newDocumentFromClipboard"},
         }},
    };
    return tables;
}

} // namespace

const std::vector<DictionaryEntry>& DictionaryForApplication(const QString& name) {
    static const std::vector<DictionaryEntry> none;
    const auto found = dictionaries().find(name);
    return found == dictionaries().end() ? none : found->second;
}
