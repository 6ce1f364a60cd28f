// The values of the script dialect: nothing, booleans, integers, texts and lists.
#pragma once

#include <QString>
#include <optional>
#include <vector>

class ScriptValue {
public:
    enum class Kind { Nothing, Boolean, Integer, Text, List };

    ScriptValue() = default;
    static ScriptValue boolean(bool value);
    static ScriptValue integer(long long value);
    static ScriptValue text(QString value);
    static ScriptValue list(std::vector<ScriptValue> items);

    Kind kind() const { return m_kind; }
    bool isNothing() const { return m_kind == Kind::Nothing; }
    bool toBool() const { return m_boolean; }
    long long toInteger() const { return m_integer; }
    const QString& toText() const { return m_text; }
    const std::vector<ScriptValue>& items() const { return m_items; }

    // The value as a string, as a script result hands it over: texts as they are, booleans and
    // integers written out; none for a list or nothing.
    std::optional<QString> stringValue() const;

    // The value as it would be written in script source ("abc" in double quotes, escaped;
    // {1, "a"} for a list); none for nothing.
    std::optional<QString> displayForm() const;

    bool operator==(const ScriptValue&) const = default;

private:
    Kind m_kind = Kind::Nothing;
    bool m_boolean = false;
    long long m_integer = 0;
    QString m_text;
    std::vector<ScriptValue> m_items;
};

// `text` as a string literal of the dialect: in double quotes, with every double quote and
// backslash escaped, so that reading the literal back gives exactly `text`.
QString QuotedScriptText(const QString& text);
