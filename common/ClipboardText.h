// Text on the clipboard: reading it, replacing the clipboard's contents with a text, and a
// text's UTF-16 code units.
#pragma once

#include "platform/services/Pasteboard.h"
#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

// The clipboard's text, or none. Each item is tried in order with the flavors UTF-8, external
// UTF-16, UTF-16 and plain text; the first flavor any item yields is the answer. Its bytes are
// read in the encoding its flavor declares, and in no other: UTF-8 for UTF-8 and plain text,
// UTF-16 for the UTF-16 flavors (a C string's terminator dropped). With `useScrap`, a clipboard
// without text falls back to the legacy scrap's 'TEXT'.
std::optional<QString> ClipboardText(bool useScrap);

// The data of the first text flavor found, or none.
std::optional<QByteArray> PasteboardContainsText(PasteboardRef pasteboard);

// Makes the text the clipboard's only content: one item, flavor UTF-8. A text that has no UTF-8
// form (an unpaired surrogate) is refused with an alert; the clipboard is then left empty and
// the status is not noErr.
OSStatus PutStringOnPasteboard(const QString& text);

// A new buffer with the text's UTF-16 code units, no terminator; `length` gets their number.
std::unique_ptr<char16_t[]> GetUnicodeString(const QString& text, long* length);
