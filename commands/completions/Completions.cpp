#include "commands/completions/Completions.h"

#include "common/AlertMessages.h"
#include "common/ClipboardText.h"
#include "common/TextWindow.h"
#include "platform/services/Pasteboard.h"
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
    // The application in front answers the copy keystroke in its own time, and until it has,
    // the clipboard still holds what was there before, which is not what is selected now.
    PasteboardRef clipboard = nullptr;
    PasteboardCreate(kPasteboardClipboard, &clipboard);
    PasteboardSynchronize(clipboard);
    RunScriptResource2(QStringLiteral("Copy.applescript"), std::nullopt, QString());
    if (!PasteboardWaitForChange(clipboard, kCopyAnswerLimit)) {
        ShowAlertMessage(QStringLiteral("No text was copied from the application in front."),
                         QStringLiteral("Select a word in the application you are typing in, "
                                        "then choose List Completions again."));
        return;
    }
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
