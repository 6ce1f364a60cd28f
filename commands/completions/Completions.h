// "List Completions": the words that complete the clipboard text, taken whole as one partial
// word, listed one a line in the text window.
//
// The clipboard is read after "Copy.applescript" has copied what is selected in the application
// in front. On Linux the copy keystroke needs the desktop's keystroke service, which is not
// there yet: the script then fails, as its result is allowed to, and the clipboard is read as
// it stands.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TextWindow;

// The spell checker's completions of the clipboard text, which is appended to `partial`; none
// when the clipboard holds no text or the spell checker has no answer.
std::optional<QStringList> CompletionsForClipboardText(QString* partial);

// The command.
void ShowCompletions(TextWindow& window);
