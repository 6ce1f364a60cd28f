// "List Completions": the words that complete the clipboard text, taken whole as one partial
// word, listed one a line in the text window.
//
// The clipboard is read after "Copy.applescript" has copied what is selected in the application
// in front, once that application has answered: the clipboard changed (a new owner, or the
// same owner offering anew) within the limit. An application that copies nothing in that time
// (nothing selected, too slow, no window that takes keystrokes) gets an alert saying so, never
// completions of what the clipboard held before.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

// How long the application in front has to answer the copy keystroke; answers take a few
// hundred milliseconds at most.
inline constexpr std::chrono::milliseconds kCopyAnswerLimit{2000};

class TextWindow;

// The spell checker's completions of the clipboard text, which is appended to `partial`; none
// when the clipboard holds no text or the spell checker has no answer.
std::optional<QStringList> CompletionsForClipboardText(QString* partial);

// The command.
void ShowCompletions(TextWindow& window);
