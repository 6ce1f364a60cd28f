// Lists of items: a folder's children, and the file manager's sort order.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The folder's direct children in the file system's order; none when it has none or cannot be
// read.
std::optional<std::vector<FSRef>> GetDirectoryItemsList(const FSRef* folder);

// Negative, zero or positive as `a` sorts before, with or after `b` in the file manager's
// order, under the user's locale. Each call sets up a collator: a sort should use
// SortCFMutableArrayOfCFStringsLikeTheFinder.
int CompareLikeTheFinder(const QString& a, const QString& b);
// Sorts in the file manager's order; texts that compare equal keep their order.
void SortCFMutableArrayOfCFStringsLikeTheFinder(QStringList& texts);
