#include "platform/script/ScriptTokens.h"

namespace {

bool isWordCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The string literal whose opening quote is at `*at`. On success `*at` is just past the closing
// quote; on failure it is at the offending backslash, or `closed` is false. `*line` counts the
// line ends inside the literal.
std::optional<QString> readLiteral(const QString& source, qsizetype* at, int* line, bool* closed) {
    const qsizetype size = source.size();
    QString value;
    qsizetype i = *at + 1;
    while (i < size) {
        const QChar d = source[i];
        if (d == u'"') {
            *at = i + 1;
            return value;
        }
        if (d == u'\\') {
            if (i + 1 >= size)
                break;
            const QChar escaped = source[i + 1];
            if (escaped == u'"' || escaped == u'\\')
                value.append(escaped);
            else if (escaped == u'n')
                value.append(u'\n');
            else if (escaped == u'r')
                value.append(u'\r');
            else if (escaped == u't')
                value.append(u'\t');
            else {
                *at = i;
                return std::nullopt;
            }
            i += 2;
            continue;
        }
        if (d == u'\n' || (d == u'\r' && !(i + 1 < size && source[i + 1] == u'\n')))
            ++*line;
        value.append(d);
        ++i;
    }
    *closed = false;
    return std::nullopt;
}

} // namespace

std::optional<QString> ReadStringLiteral(const QString& text) {
    if (!text.startsWith(u'"'))
        return std::nullopt;
    qsizetype at = 0;
    int line = 1;
    bool closed = true;
    return readLiteral(text, &at, &line, &closed);
}

std::optional<std::vector<ScriptToken>> TokenizeScript(const QString& source,
                                                       ScriptSyntaxError* error) {
    std::vector<ScriptToken> tokens;
    int line = 1;
    const qsizetype size = source.size();
    auto fail = [&](const QString& message) {
        if (error)
            *error = ScriptSyntaxError{line, message};
        return std::nullopt;
    };
    for (qsizetype i = 0; i < size;) {
        const QChar c = source[i];
        if (c == u'\r' || c == u'\n') {
            tokens.push_back({ScriptToken::Kind::LineEnd, QString(), line});
            i += (c == u'\r' && i + 1 < size && source[i + 1] == u'\n') ? 2 : 1;
            ++line;
        } else if (c == u' ' || c == u'\t') {
            ++i;
        } else if (c == u'-' && i + 1 < size && source[i + 1] == u'-') {
            while (i < size && source[i] != u'\r' && source[i] != u'\n')
                ++i;
        } else if (c == u'"') {
            const int startLine = line;
            bool closed = true;
            auto value = readLiteral(source, &i, &line, &closed);
            if (!value) {
                if (!closed) {
                    line = startLine;
                    return fail(QStringLiteral("a string is not closed"));
                }
                return fail(
                    QStringLiteral("\"\\%1\" is not an escape of a string").arg(source[i + 1]));
            }
            tokens.push_back({ScriptToken::Kind::Text, *value, startLine});
        } else if (isDigit(c)) {
            const qsizetype start = i;
            while (i < size && isDigit(source[i]))
                ++i;
            if (i < size && isWordCharacter(source[i]))
                return fail(
                    QStringLiteral("\"%1\" is not a number").arg(source.mid(start, i - start + 1)));
            tokens.push_back({ScriptToken::Kind::Integer, source.mid(start, i - start), line});
        } else if (isWordCharacter(c)) {
            const qsizetype start = i;
            while (i < size && isWordCharacter(source[i]))
                ++i;
            tokens.push_back({ScriptToken::Kind::Word, source.mid(start, i - start), line});
        } else if (c == u'(' || c == u')' || c == u'{' || c == u'}' || c == u',' || c == u'-') {
            tokens.push_back({ScriptToken::Kind::Punctuation, QString(c), line});
            ++i;
        } else {
            return fail(QStringLiteral("\"%1\" cannot go here").arg(c));
        }
    }
    tokens.push_back({ScriptToken::Kind::LineEnd, QString(), line});
    return tokens;
}
