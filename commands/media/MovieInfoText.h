// The texts of the movie report: durations and dates.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// "0 secs", or the hours, minutes and seconds that are not 0, each followed by one blank:
// 61 is "1 min 1 sec ", 7322 "2 hrs 2 mins 2 secs ".
QString ElapsedTimeMessage(UInt32 seconds);

// A date in the standard form "2026-12-05 06:52:44 +0000" written as
// "Sat 05 Dec, 2026 06:52:44 AM (+0000)", in English and in the zone the text carries; none when
// the text is not a date in that form.
std::optional<QString> MakeFormattedDateString(const QString& text);
