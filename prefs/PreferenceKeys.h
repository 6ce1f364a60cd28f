// Every key of the preference domain, with its type and default. A key that is absent, or whose
// value is of another type, has its default.
#pragma once

#include <QString>
#include <span>

struct BooleanPreference {
    const char* key;
    bool defaultValue;
};

// The settings of the preference window, in the order it shows them.
std::span<const BooleanPreference> BooleanPreferences();

inline const QString kReverseOrderKey = QStringLiteral("ReverseOrder");
// A POSIX path; absent until the desktop picture is first changed.
inline const QString kLastDesktopPicturePathKey = QStringLiteral("LastDesktopPicturePath");
// An array of POSIX paths; empty by default.
inline const QString kRecentDesktopPicturePathsKey = QStringLiteral("RecentDesktopPicturePaths");
// A POSIX path: the folder of the address book; absent: the user's data folder's
// velmora/AddressBook.
inline const QString kAddressBookFolderKey = QStringLiteral("AddressBookFolder");
