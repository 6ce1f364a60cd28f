// The desktop picture: reading, setting and restoring it through the Finder, revealing it, and
// the list of pictures set recently.
//
// Two values are kept with the settings: "LastDesktopPicturePath", the picture the last set or
// reset replaced, and "RecentDesktopPicturePaths", the pictures set, oldest first, each once.
// Every read synchronises the store first and every write is followed by a synchronisation.
#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

// The current picture's POSIX path, or none when the Finder does not say.
std::optional<QString> GetDesktopPictureFile();

// Remembers the current picture as the last one, has the Finder show `path`, and adds `path` to
// the recent list (even when the Finder refused it).
void SetDesktopPictureToPath(const QString& path);

// Puts the last picture back: the current one becomes the last one and joins the recent list.
// An alert when no last picture was saved.
void DoResetDesktopPicture();

// Shows the current picture selected in a file manager window.
void DoRevealDesktopPictureFile();

// The stored list as it is (entries of any type kept), or an empty list when it is missing or
// is not a list.
QVariantList GetRecentPicturePaths();
// Appends `path` unless the list holds it already.
void AddPathToRecentPicturePaths(const QString& path);
// Removes the list; the result of synchronising the store.
bool ClearRecentDesktopPaths();

// The script texts sent to the Finder.
QString DesktopPictureReadingScript();
QString DesktopPictureSettingScript(const QString& path);
