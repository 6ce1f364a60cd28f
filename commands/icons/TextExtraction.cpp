#include "commands/icons/TextExtraction.h"

std::optional<QString> extractBetweenPattern(const QString& text, const QString& open,
                                             const QString& close) {
    const qsizetype openAt = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (openAt < 0)
        return std::nullopt;
    const qsizetype start = openAt + open.size();
    const qsizetype closeAt = text.indexOf(close, start, Qt::CaseInsensitive);
    if (closeAt < 0)
        return std::nullopt;
    return text.mid(start, closeAt - start);
}
