// "Email Items": the selected items attached to a new message in Mail, folders zipped first,
// their names, in the Finder's order of names, as the message's text.
//
// The message is made by the script resource "MakeMailMessage.applescript", a template whose
// first placeholder takes the attachments (each path its own string literal) and whose second,
// in its quotes, takes the names as a string literal: nothing in a path or a name can become a
// statement. A folder is zipped by velmora-ditto, beside Velmora's executable, into a new folder
// of "Parcelo" in the user's temporary folder; a folder that cannot be archived is left out of
// the attachments and keeps its place among the names. Nothing is shown to the user on failure:
// the log tells what was archived.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// The command.
void EmailItemsOfSelection();

// Zips the item into "<temporary folder>/Parcelo/<unique name>/<item name>.zip"; true, with
// the archive in `archive`, when velmora-ditto made it.
bool ZipArchive(const FSRef* item, FSRef* archive);

// The whole file as UTF-8 text, up to its first NUL; none when it cannot be read.
std::optional<QString> ReadFile(const FSRef* file);

// The script template with its first "%@" replaced by `paths` and the following "\"%@\"" by the
// literal of `names`; the template as it is when it lacks either.
QString MailMessageScript(const QString& scriptTemplate, const QString& paths,
                          const QString& names);
