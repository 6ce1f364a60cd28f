// Starting Velmora when the user logs in: the entry "velmora.desktop" in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart), which every freedesktop session starts at log-in.
//
// The entry's presence is the setting; nothing else stores it. An entry the desktop's own
// settings switched off (Hidden=true, or GNOME's X-GNOME-Autostart-enabled=false) counts as
// absent. Writing replaces only Velmora's entry, whole or not at all; removing it removes a
// link that stands in its place, never what the link points to.
#pragma once

#include <QString>

// The autostart folder under a configuration folder.
QString AutostartFolder(const QString& configHome);

// True when the folder holds Velmora's entry, readable and not switched off.
bool LoginItemEnabled(const QString& autostartFolder);

// Writes the entry (starting `executable`) or removes it. False, with the reason in `error`,
// when the folder cannot be made or written or the entry cannot be removed.
bool SetLoginItemEnabled(const QString& autostartFolder, const QString& executable, bool enabled,
                         QString* error);
