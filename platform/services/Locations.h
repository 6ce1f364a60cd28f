// Where the user's and the application's folders are.
//
// The system never reads the environment itself: the Linux desktop takes these from the XDG
// variables, the in-memory world from its temporary folders.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

class Locations {
public:
    virtual ~Locations() = default;
    virtual QString home() const = 0;
    // The folder holding the application's pictures and scripts.
    virtual QString resourceDir() const = 0;
    // The user's private temporary-items folder; empty when there is no safe one.
    virtual QString temporaryItems() const = 0;
    // The system-wide table mapping file name extensions to MIME types.
    virtual QString fileMappingTable() const = 0;
    // The folder of Velmora's helper programs (velmora-ditto): the one its executable is in.
    virtual QString helperPrograms() const = 0;
    // The user's folder for application data (XDG_DATA_HOME).
    virtual QString dataHome() const = 0;
    // The user's folder for caches (XDG_CACHE_HOME), where the desktop's thumbnails are.
    virtual QString cacheHome() const = 0;
    // The user's folder for configuration (XDG_CONFIG_HOME), where the session's autostart
    // entries are.
    virtual QString configHome() const = 0;
};

} // namespace platform

// The user's home folder, the application's resource folder and the user's private
// temporary-items folder (empty when there is no safe one).
QString NSHomeDirectory();
QString NSBundleResourcePath();
QString NSTemporaryItemsDirectory();
// The path of the helper program `name`, beside Velmora's executable.
QString HelperProgramPath(const QString& name);
// The user's data folder.
QString UserDataHome();
// The user's cache folder.
QString UserCacheHome();
// The user's configuration folder.
QString UserConfigHome();
