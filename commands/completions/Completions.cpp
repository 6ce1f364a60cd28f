#include "commands/completions/Completions.h"

#include "common/AlertMessages.h"
#include "common/ClipboardText.h"
#include "common/TextWindow.h"
#include "platform/services/Processes.h"
#include "platform/services/WordCompletion.h"
#include "scripts/ScriptRunner.h"

std::optional<QStringList> CompletionsForClipboardText(QString* partial) {
    const auto text = ClipboardText(true);
    if (!text)
        return std::nullopt;
    partial->append(*text);
    return NSSpellCheckerCompletions(*text);
}

void ShowCompletions(TextWindow& window) {
    RunScriptResource2(QStringLiteral("Copy.applescript"), std::nullopt, QString());
    QString partial;
    const auto completions = CompletionsForClipboardText(&partial);
    if (!completions) {
        ShowAlertMessage(QStringLiteral("No completions were found for:"), partial);
        return;
    }
    const QString output =
        completions->isEmpty()
            ? QStringLiteral("The set of completions for \"%1\" is empty.").arg(partial)
            : completions->join(u'\n');
    SetFrontProcess(&kCurrentProcessPSN);
    window.showText(QStringLiteral("Completions for: %1").arg(partial), output);
}
