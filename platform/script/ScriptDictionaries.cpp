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
        // address), newest first, or oldest first when the value is true; a new message with the
        // files of a list attached and a text.
        {QStringLiteral("Mail"),
         {
             {"senders of selection oldest first %v", script_commands::kSelectedSenders},
             {"make new message with attachments %v and text %v", script_commands::kMakeMessage},
         }},
        {QStringLiteral("System Events"),
         {
             {"set visible of every process whose frontmost is false to false",
              script_commands::kHideOthers},
             {"keystroke \"c\" using command down", script_commands::kCopyKeystroke},
             {"keystroke \"v\" using command down", script_commands::kPasteKeystroke},
         }},
        // Each browser is asked for its front page's title in its own words.
        {QStringLiteral("Safari"), {{"name of first document", script_commands::kFrontPageTitle}}},
        {QStringLiteral("Google Chrome"), {{"name of window 1", script_commands::kFrontPageTitle}}},
        {QStringLiteral("Flock"),
         {{"properties of front window as list", script_commands::kFrontWindowProperties}}},
        {QStringLiteral("Firefox"), {{"name of first window", script_commands::kFrontPageTitle}}},
        {QStringLiteral("Opera"), {{"name of front window", script_commands::kFrontPageTitle}}},
        {QStringLiteral("Camino"),
         {{"name of front browser window", script_commands::kFrontPageTitle}}},
        {QStringLiteral("OmniWeb"),
         {
             {"front window", script_commands::kFrontWindow},
             {"do script %v window %v", script_commands::kDoJavaScript},
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
