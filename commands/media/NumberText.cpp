#include "commands/media/NumberText.h"

#include <QLocale>

std::optional<QString> FormatNumber(const long* value) {
    if (!value)
        return std::nullopt;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // The magnitude in unsigned arithmetic: the most negative long has no positive twin.
    const unsigned long magnitude =
        *value < 0 ? 0UL - static_cast<unsigned long>(*value) : static_cast<unsigned long>(*value);
    const QString digits = locale.toString(qulonglong(magnitude));
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(digits[i]);
    }
    return *value < 0 ? locale.negativeSign() + grouped : grouped;
}

std::optional<QString> MakeStringFromNumber(const SInt32* value) {
    if (!value)
        return std::nullopt;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(*value);
}
