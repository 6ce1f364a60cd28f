// Integers as texts in the current locale's digits: one grouped the same way in every locale,
// one as the locale writes it plainly.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// Grouped by "," every three digits whatever the locale groups with: 1234567 is "1,234,567".
// None for a null pointer.
std::optional<QString> FormatNumber(const long* value);
// The locale's plain form, without grouping. None for a null pointer.
std::optional<QString> MakeStringFromNumber(const SInt32* value);
