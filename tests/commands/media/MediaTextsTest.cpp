// The report's texts: durations, dates and numbers, in locales that write them otherwise.
#include "commands/media/MovieInfoText.h"
#include "commands/media/NumberText.h"

#include <QLocale>
#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(MovieInfoTexts, DurationsKeepATrailingBlankAndLeaveOutEmptyUnits) {
    EXPECT_EQ(ElapsedTimeMessage(0), QStringLiteral("0 secs"));
    EXPECT_EQ(ElapsedTimeMessage(1), QStringLiteral("1 sec "));
    EXPECT_EQ(ElapsedTimeMessage(61), QStringLiteral("1 min 1 sec "));
    EXPECT_EQ(ElapsedTimeMessage(7322), QStringLiteral("2 hrs 2 mins 2 secs "));
    EXPECT_EQ(ElapsedTimeMessage(UINT32_MAX), QStringLiteral("1193046 hrs 28 mins 15 secs "));
}

TEST(MovieInfoTexts, DatesInTheStandardFormOnly) {
    EXPECT_EQ(MakeFormattedDateString(QStringLiteral("2026-12-05 06:52:44 +0000")),
              QStringLiteral("Sat 05 Dec, 2026 06:52:44 AM (+0000)"));
    EXPECT_EQ(MakeFormattedDateString(QStringLiteral("2024-02-29 18:05:09 -0530")),
              QStringLiteral("Thu 29 Feb, 2024 06:05:09 PM (-0530)"));
    for (const char* malformed :
         {"2026-13-05 06:52:44 +0000", "2023-02-29 06:52:44 +0000", "2026-12-05T06:52:44Z",
          "2026-12-05 24:00:00 +0000", "2026-12-05 06:52:44", "2026-12-05 06:52:44 +0960", ""})
        EXPECT_EQ(MakeFormattedDateString(QString::fromLatin1(malformed)), std::nullopt)
            << malformed;
}

// Every locale gets "," every three digits in the grouped form, in its own digits and sign.
TEST(NumberTexts, GroupingIsForcedWhateverTheLocaleGroupsWith) {
    const QLocale before;
    for (const char* name : {"en_US", "de_DE", "fr_FR", "hi_IN", "de_CH"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        const long size = 1234567, small = 999, negative = -1234567, smallest = LONG_MIN;
        const SInt32 plain = 1234567;
        EXPECT_EQ(FormatNumber(&size), QStringLiteral("1,234,567")) << name;
        EXPECT_EQ(FormatNumber(&small), QStringLiteral("999")) << name;
        EXPECT_EQ(FormatNumber(&negative), QLocale().negativeSign() + QStringLiteral("1,234,567"))
            << name;
        EXPECT_EQ(FormatNumber(&smallest),
                  QLocale().negativeSign() + QStringLiteral("9,223,372,036,854,775,808"))
            << name;
        EXPECT_EQ(MakeStringFromNumber(&plain), QStringLiteral("1234567")) << name;
    }
    QLocale::setDefault(QLocale(QStringLiteral("ar_EG")));
    const long size = 1234;
    EXPECT_EQ(FormatNumber(&size), QStringLiteral("\u0661,\u0662\u0663\u0664"));
    EXPECT_EQ(FormatNumber(nullptr), std::nullopt);
    QLocale::setDefault(before);
}

} // namespace
