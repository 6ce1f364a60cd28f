// Cutting a piece out of a text between two markers.
#pragma once

#include <QString>
#include <optional>

// The text between the first occurrence of `open` and the first occurrence of `close` after
// it, both found ignoring case; none when either is missing. The result may be empty.
std::optional<QString> extractBetweenPattern(const QString& text, const QString& open,
                                             const QString& close);
