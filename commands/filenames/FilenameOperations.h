// The Filenames submenu: hide, show or toggle extensions, put the clipboard text into names,
// change the case of names.
//
// Each operation works on one item and leaves it as it was when it fails; a selected plain
// folder stands for the visible items directly inside it. Renames never replace another item.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <QStringList>
#include <optional>

// Operation codes; the submenu items' titles (also their tool tips) are in this order.
enum : long {
    kHideExtensionOperation = 1,
    kShowExtensionOperation,
    kToggleExtensionOperation,
    kAppendClipboardOperation,
    kPrependClipboardOperation,
    kSetNameClipboardOperation,
    kUppercaseNameOperation,
    kLowercaseNameOperation,
    kCapitalizeNameOperation,
};

// "Hide Extension" ... "Capitalize Name", for codes 1 to 9.
QStringList FilenameOperationTitles();
// The code of the submenu item with this tool tip; 0 for any other text.
long FilenameOperationCode(const QString& toolTip);

// For each selected path, in order: a plain folder has the operation applied to each of its
// direct children that is not invisible (one level only; packages and links are items, never
// entered), anything else to itself. Paths that name nothing, and children gone by the time
// their turn comes, are passed over.
void ApplyFilenameOperation(const QStringList& selectionPaths, long code);

// One operation on one item; other codes do nothing.
void ProcessItemFilename(FSRef* item, long code);

// noErr when nothing needed doing; the file manager is told of a change.
OSStatus HideExtension(const FSRef* item);
OSStatus ShowExtension(const FSRef* item);
OSStatus ToggleExtension(const FSRef* item);
bool ItemHasExtension(const FSRef* item);

// Clipboard name modes.
enum : int { kAppendClipboardMode = 1, kPrependClipboardMode = 2, kSetNameClipboardMode = 3 };

// The name `name` gets from the clipboard text: appended before the extension, prepended to the
// whole name, or replacing the name but not its extension. The text is used as it is. None for
// another mode, and for an empty text, which would otherwise turn "letter.docx" into the
// invisible ".docx".
std::optional<QString> NameWithClipboardText(const QString& name, int mode, const QString& text);
void ApplyClipboardToObjectName(FSRef* item, int mode);

// Case modes: 1 upper case, 2 lower case, 3 capitalized; the whole name, extension included, in
// the user's locale.
void ChangeNameCase(FSRef* item, int mode);
void UppercaseName(FSRef* item);
void LowercaseName(FSRef* item);
void CapitalizeName(FSRef* item);
