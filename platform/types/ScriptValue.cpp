#include "platform/types/ScriptValue.h"

#include <QStringList>

ScriptValue ScriptValue::boolean(bool value) {
    ScriptValue result;
    result.m_kind = Kind::Boolean;
    result.m_boolean = value;
    return result;
}

ScriptValue ScriptValue::integer(long long value) {
    ScriptValue result;
    result.m_kind = Kind::Integer;
    result.m_integer = value;
    return result;
}

ScriptValue ScriptValue::text(QString value) {
    ScriptValue result;
    result.m_kind = Kind::Text;
    result.m_text = std::move(value);
    return result;
}

ScriptValue ScriptValue::list(std::vector<ScriptValue> items) {
    ScriptValue result;
    result.m_kind = Kind::List;
    result.m_items = std::move(items);
    return result;
}

std::optional<QString> ScriptValue::stringValue() const {
    switch (m_kind) {
    case Kind::Boolean:
        return m_boolean ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::Integer:
        return QString::number(m_integer);
    case Kind::Text:
        return m_text;
    case Kind::Nothing:
    case Kind::List:
        break;
    }
    return std::nullopt;
}

std::optional<QString> ScriptValue::displayForm() const {
    switch (m_kind) {
    case Kind::Nothing:
        return std::nullopt;
    case Kind::Text:
        return QuotedScriptText(m_text);
    case Kind::List: {
        QStringList parts;
        for (const ScriptValue& item : m_items)
            parts.append(item.displayForm().value_or(QString()));
        return u'{' + parts.join(QStringLiteral(", ")) + u'}';
    }
    case Kind::Boolean:
    case Kind::Integer:
        break;
    }
    return stringValue();
}

QString QuotedScriptText(const QString& text) {
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(u'"');
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted.append(u'\\');
        quoted.append(c);
    }
    quoted.append(u'"');
    return quoted;
}
