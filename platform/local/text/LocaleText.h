// Case changes and the file manager's sort order, by the rules of the user's language.
//
// Both follow ICU through Qt, never the C library's locale: a process started under LANG=C or
// LC_ALL=C still sorts "File 2" before "File 10" and upper-cases "é". The locale is the one the
// user's environment names; when that is the bare C (POSIX) locale, which has no language of its
// own, it is American English, whose ICU rules are the root rules most locales start from.
#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

// The user's locale, American English in place of C.
QLocale CFLocaleCopyCurrent();
// The same choice for a given locale.
QLocale LocaleForText(const QLocale& locale);

void CFStringUppercase(QString& text, const QLocale& locale);
void CFStringLowercase(QString& text, const QLocale& locale);
// Each word gets its first character in title case and the rest in lower case, the extension
// being a word like any other. Words are runs of letters and digits as Unicode's word boundaries
// (Qt's UAX #29) group them: an apostrophe or an underscore between letters joins, spaces,
// hyphens, points and commas separate. So "notes.TXT" gives "Notes.Txt", "REPORT-FINAL v2"
// gives "Report-Final V2", "it's" gives "It's" and "3d-model" gives "3d-Model".
void CFStringCapitalize(QString& text, const QLocale& locale);

// The file manager's order of names: the locale's ICU collation, case- and width-insensitive,
// diacritics significant ("e" before "é"), punctuation and spaces significant, runs of digits
// compared by their value ("File 9" before "File 10"), canonically equivalent texts equal.
// Texts of any length are compared whole.
QCollator FinderCollator(const QLocale& locale);
