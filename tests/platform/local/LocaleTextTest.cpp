// Case changes follow ICU and the user's language, also in a process under the C locale.
#include "platform/local/text/LocaleText.h"
#include "tests/support/QtPrinters.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QString changed(void (*change)(QString&, const QLocale&), QString text,
                const QLocale& locale = kEnglish) {
    change(text, locale);
    return text;
}

TEST(LocaleText, CaseChangesFollowTheLanguageNotTheCLibrary) {
    std::setlocale(LC_ALL, "C");
    // The C locale itself has no case rules beyond ASCII; it stands for American English.
    EXPECT_EQ(changed(CFStringUppercase, QStringLiteral("résumé straße"), QLocale::c()),
              QStringLiteral("RÉSUMÉ STRASSE"));
    EXPECT_EQ(changed(CFStringLowercase, QStringLiteral("ÉTÉ.TXT"), QLocale::c()),
              QStringLiteral("été.txt"));
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    EXPECT_EQ(changed(CFStringUppercase, QStringLiteral("istanbul"), turkish),
              QStringLiteral("İSTANBUL"));
    EXPECT_EQ(changed(CFStringCapitalize, QStringLiteral("IZMIR ili"), turkish),
              QStringLiteral("Izmır İli"));
}

TEST(LocaleText, CapitalizationWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"HELLO WORLD", "Hello World"}, {"notes.TXT", "Notes.Txt"},
        {"3d-model_v2", "3d-Model_v2"}, {"it's  2024 draft", "It's  2024 Draft"},
        {"ǆungla", "ǅungla"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(changed(CFStringCapitalize, QString::fromUtf8(text)), QString::fromUtf8(expected))
            << text;
}

} // namespace
