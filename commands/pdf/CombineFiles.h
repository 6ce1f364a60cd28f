// Combining the selection into one PDF: every item turned into PDF where needed
// (PdfConversions.h), their pages joined in the selection's order into a document the user
// names, which is then opened.
#pragma once

#include "platform/local/PdfDocuments.h"

#include <QString>
#include <QStringList>

// "Combine Files Into PDF".
void CombineFilesOfSelection();

// Writes the pages of every PDF of the list, in order, each page with its own boxes, into a new
// document at `destination` with this title and creator. A file that cannot be opened as a PDF
// is reported with the alert "This file could not be opened as a PDF:" and left out. The
// document replaces what is at `destination` only once it is complete; nothing is written when
// no page could be copied. False when nothing was written.
bool zadAVOFiles(const QStringList& paths, const CGRect& mediaBox, const QString& destination,
                 const QString& title, const QString& creator);
