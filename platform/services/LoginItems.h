// Whether Velmora starts when the user logs in: its entry in the user's autostart folder, under
// the configuration folder of the installed desktop, starting the executable Velmora runs from.
#pragma once

#include <QString>

bool SMLoginItemEnabled();
// False, with the reason in `error`, when the entry could not be written or removed.
bool SMLoginItemSetEnabled(bool enabled, QString* error);
