// Texts going into scripts and coming back out of them.
//
// Every text that enters a script (a path, a file name, a display name) goes in as a string
// literal of its own, made by the dialect's one quoting function (QuotedScriptText), so that the
// script names exactly that text and nothing in it can end the literal or become a statement.
#pragma once

#include "platform/types/MacTypes.h"
#include "platform/types/ScriptValue.h"

#include <QString>
#include <optional>

// The template with every `"%@"` (the placeholder in its quotes) replaced by `text`'s literal.
QString ScriptWithText(const QString& scriptTemplate, const QString& text);

// Appends the item's path to `paths` as a string literal, after ", " unless `paths` is empty, so
// the list, placed between braces in a script, reads back as exactly those paths. Nothing is
// appended when the item's path cannot be had or is not valid UTF-8.
void AddFilePathToPaths(const FSRef* item, QString& paths);

// The source of a script resource or template at `path`: the resources are written in UTF-8
// (ASCII in practice), and every one is read so, up to a first NUL. None when the file is not a
// regular file, is unreadably large, or is no UTF-8.
std::optional<QString> ReadScriptSource(const QString& path);

// The text a displayed script result stands for: the string literal at its start read back,
// escapes and all; none when it is no string.
std::optional<QString> TextOfDisplayedString(const QString& display);
