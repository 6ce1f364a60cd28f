// Which part of a file name counts as its extension.
//
// The extension is the text after the last "." of the name, when that text is not empty,
// holds no white space, and the "." is not the first character of the name (".profile" has
// no extension, "archive.tar.gz" has "gz", "notes. draft" has none). Every module that hides,
// shows or edits extensions asks this one rule.
#pragma once

#include <QString>
#include <optional>

// The index of the first character of the extension (just after the "."), or none.
std::optional<qsizetype> ExtensionStartIndex(const QString& name);

// The name without "." and extension; the whole name when it has none.
QString NameWithoutExtension(const QString& name);
