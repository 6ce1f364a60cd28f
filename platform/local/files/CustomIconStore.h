// Custom icons of files, as Velmora keeps them on Linux.
//
// An item's custom icon is a PNG in the user's icon folder, named by the item's extended
// attribute user.velmora.custom-icon. The PNG is named by a digest of its content, so setting
// the same picture twice keeps one file, and removing an item's icon leaves the PNG where it is:
// copies of the item carry the same attribute and still show it. The attribute is the item's
// own, never set through a symbolic link onto its target (Linux keeps no user attributes on
// links, so a link cannot take a custom icon).
#pragma once

#include <QImage>
#include <QString>
#include <optional>

inline constexpr char kCustomIconAttribute[] = "user.velmora.custom-icon";

// A custom icon is stored at most this many pixels wide and high: the largest icon a desktop
// draws. A larger picture is scaled down, its proportions kept.
inline constexpr int kMaxCustomIconSide = 1024;

// Writes the picture as a PNG into `iconFolder` (made when missing, private to the user) and
// names it in the item's attribute. The PNG's path, or none when the picture is null, the PNG
// cannot be written, or the item refuses the attribute (read-only, gone, a link, a file system
// without user attributes); the item is then left as it was.
std::optional<QString> StoreCustomIcon(const QString& path, const QImage& picture,
                                       const QString& iconFolder);

// Removes the item's attribute. True when the item has no custom icon afterwards.
bool ClearCustomIcon(const QString& path);

// The PNG the item's attribute names, when it names a file that is there.
std::optional<QString> CustomIconFile(const QString& path);
