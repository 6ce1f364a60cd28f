#include "platform/script/ScriptDictionaries.h"

#include "platform/services/ScriptCommands.h"

#include <map>

namespace {

// Commands are named after what they do; each backend's applications perform them.
const std::map<QString, std::vector<DictionaryEntry>>& dictionaries() {
    static const std::map<QString, std::vector<DictionaryEntry>> tables = {
        {QStringLiteral("Finder"),
         {
             {"POSIX path of (desktop picture as alias)", script_commands::kDesktopPicturePath},
             {"set desktop picture to POSIX file %v", script_commands::kSetDesktopPicture},
         }},
        // The senders of the messages selected in Mail, one a line ("Name <address>" or a bare
        // address), newest first, or oldest first when the value is true.
        {QStringLiteral("Mail"),
         {
             {"senders of selection oldest first %v", script_commands::kSelectedSenders},
         }},
        {QStringLiteral("System Events"),
         {
             {"set visible of every process whose frontmost is false to false",
              script_commands::kHideOthers},
             {"keystroke \"c\" using command down", script_commands::kCopyKeystroke},
         }},
        {QStringLiteral("Preview"),
         {
             {"activate", script_commands::kActivate},
             {"make new document from clipboard", script_commands::kNewDocumentFromClipboard},
         }},
    };
    return tables;
}

} // namespace

QStringList DictionaryApplications() {
    QStringList names;
    for (const auto& [name, entries] : dictionaries())
        names.append(name);
    return names;
}

const std::vector<DictionaryEntry>& DictionaryForApplication(const QString& name) {
    static const std::vector<DictionaryEntry> none;
    const auto found = dictionaries().find(name);
    return found == dictionaries().end() ? none : found->second;
}
