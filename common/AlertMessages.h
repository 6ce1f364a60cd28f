// The two alerts through which commands report failures and ask before what cannot be undone.
// Both are modal stop alerts: the caller waits until the user dismisses them.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// Brings Velmora to the front, beeps, and shows the message with the detail below it and one
// button, "OK". The status of showing it; callers ignore it.
OSStatus ShowAlertMessage(const QString& message, const std::optional<QString>& detail);

// Beeps and shows the message with "OK" (1, the default) and "Cancel" (2). The button pressed,
// or -1 when the alert could not be shown. Callers bring Velmora forward themselves, and go on
// unless the answer is 2.
int ShowAlertMessageWithCancel(const QString& message, const std::optional<QString>& detail);
