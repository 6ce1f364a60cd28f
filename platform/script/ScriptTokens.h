// Reading script text into tokens: words, string literals, integers, the punctuation the
// dialect uses, and line ends, which end statements.
//
// Line ends are CR, LF or CR LF. A string literal may span lines; inside it a backslash escapes
// a double quote or a backslash, and writes a line feed, carriage return or tab as n, r or t. "--"
// starts a comment that runs to the end of the line. Any other character is a syntax error.
#pragma once

#include <QString>
#include <optional>
#include <vector>

struct ScriptToken {
    enum class Kind { Word, Text, Integer, Punctuation, LineEnd };
    Kind kind;
    QString text; // the word as written, the literal's value, the digits, or the punctuation
    int line;     // 1-based, where the token starts

    bool isWord(QLatin1String word) const {
        return kind == Kind::Word && text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isPunctuation(char16_t c) const {
        return kind == Kind::Punctuation && text.size() == 1 && text[0] == c;
    }
};

struct ScriptSyntaxError {
    int line;
    QString message;
};

// The string literal `text` starts with, read as a script reads it; none when `text` does not
// start with a whole one.
std::optional<QString> ReadStringLiteral(const QString& text);

// The tokens of `source`, or where and why it cannot be read.
std::optional<std::vector<ScriptToken>> TokenizeScript(const QString& source,
                                                       ScriptSyntaxError* error);
