// "Set Icons From Web Location": each selected web location file takes the icon of the site its
// address is on, found through the page's shortcut icon link or the site's /favicon.ico.
//
// The downloads of all the selected items run at the same time and off the menu's thread, each
// bounded in time and size by the fetching service, so that a hung or hostile server holds the
// command for a few seconds at most and the menu not at all. The outcomes, icons set and
// alerts, follow in the selection's order once the downloads are done.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <QUrl>
#include <optional>

// The address a web location file holds in its resource fork (the first 'url ' resource, UTF-8
// up to its first zero byte); without such a resource, the http or https address the file holds
// in itself (a property-list ".webloc", a ".url", a desktop entry of Type=Link). None when
// neither holds one.
std::optional<QString> WebLocationAddress(const QString& path);

// Where the site's icon is: the page head's shortcut icon link resolved against the page's
// address, else /favicon.ico on the page's host over http. None when neither can be made.
std::optional<QUrl> ShortcutIconAddress(const QString& head, const QUrl& page);

// The whole procedure for one item; every outcome but success ends in one alert.
void AddWebIcon(FSRef* item);

// The menu's command.
void SetIconsFromWebLocationsOfSelection();
