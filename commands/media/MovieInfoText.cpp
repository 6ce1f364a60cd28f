#include "commands/media/MovieInfoText.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

QString ElapsedTimeMessage(UInt32 seconds) {
    if (seconds == 0)
        return QStringLiteral("0 secs");
    const UInt32 hours = seconds / 3600;
    const UInt32 minutes = seconds % 3600 / 60;
    const UInt32 secs = seconds % 60;
    QString message;
    const auto unit = [&](UInt32 count, const char* one, const char* many) {
        if (count != 0)
            message += QString::number(count) + QLatin1String(count == 1 ? one : many);
    };
    unit(hours, " hr ", " hrs ");
    unit(minutes, " min ", " mins ");
    unit(secs, " sec ", " secs ");
    return message;
}

std::optional<QString> MakeFormattedDateString(const QString& text) {
    static const QRegularExpression standard(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2}) ([+-])(\d{2})(\d{2})$)"));
    const QRegularExpressionMatch match = standard.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto part = [&](int n) { return match.captured(n).toInt(); };
    const QDate date(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    const int offsetMinutes = part(8) * 60 + part(9);
    if (!date.isValid() || !time.isValid() || part(8) > 23 || part(9) > 59)
        return std::nullopt;
    const int offset = (match.captured(7) == u'-' ? -60 : 60) * offsetMinutes;
    const QDateTime when(date, time, QTimeZone(offset));
    return QLocale::c().toString(when, QStringLiteral("ddd dd MMM, yyyy hh:mm:ss AP")) +
           QStringLiteral(" (") + match.captured(7) + match.captured(8) + match.captured(9) + u')';
}
