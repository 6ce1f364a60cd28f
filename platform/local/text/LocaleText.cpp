#include "platform/local/text/LocaleText.h"

#include <QTextBoundaryFinder>
#include <array>

QLocale LocaleForText(const QLocale& locale) {
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QLocale CFLocaleCopyCurrent() {
    return LocaleForText(QLocale::system());
}

void CFStringUppercase(QString& text, const QLocale& locale) {
    text = LocaleForText(locale).toUpper(text);
}

void CFStringLowercase(QString& text, const QLocale& locale) {
    text = LocaleForText(locale).toLower(text);
}

void CFStringCapitalize(QString& text, const QLocale& locale) {
    const QLocale rules = LocaleForText(locale);
    QString result;
    result.reserve(text.size());
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    qsizetype start = 0;
    while (start < text.size()) {
        const bool isWord = words.boundaryReasons() & QTextBoundaryFinder::StartOfItem;
        qsizetype end = words.toNextBoundary();
        if (end < 0)
            end = text.size();
        const QStringView piece = QStringView(text).mid(start, end - start);
        if (!isWord) {
            result += piece;
        } else {
            const qsizetype firstLength =
                piece.front().isHighSurrogate() && piece.size() > 1 ? 2 : 1;
            const QString first = piece.left(firstLength).toString();
            const char32_t code = first.toUcs4().value(0);
            // Title case differs from upper case only for digraphs such as "ǆ"; everywhere else
            // the locale's upper case keeps its special rules (the Turkish dotted I).
            if (QChar::toTitleCase(code) != QChar::toUpper(code))
                result += QString::fromUcs4(std::array{QChar::toTitleCase(code)}.data(), 1);
            else
                result += rules.toUpper(first);
            result += rules.toLower(piece.mid(firstLength).toString());
        }
        start = end;
    }
    text = result;
}

QCollator FinderCollator(const QLocale& locale) {
    QCollator collator(LocaleForText(locale));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    collator.setIgnorePunctuation(false);
    return collator;
}
