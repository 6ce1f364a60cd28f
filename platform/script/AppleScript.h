// Script objects: a script made from source text and executed in one step, its result handed
// over as a descriptor. Same dialect and applications as the scripting component.
#pragma once

#include "platform/types/ScriptValue.h"

#include <QString>
#include <QVariantMap>
#include <optional>

// Keys of the error information of a failed execution.
inline const QString NSAppleScriptErrorMessage = QStringLiteral("NSAppleScriptErrorMessage");
inline const QString NSAppleScriptErrorNumber = QStringLiteral("NSAppleScriptErrorNumber");

class NSAppleEventDescriptor {
public:
    explicit NSAppleEventDescriptor(ScriptValue value) : m_value(std::move(value)) {}
    // The result as a string; none for a result that is no text (a list, or no value).
    std::optional<QString> stringValue() const { return m_value.stringValue(); }

private:
    ScriptValue m_value;
};

class NSAppleScript {
public:
    explicit NSAppleScript(QString source) : m_source(std::move(source)) {}
    // Compiles and runs the script. The result, or none with `errorInfo` telling why.
    std::optional<NSAppleEventDescriptor> executeAndReturnError(QVariantMap* errorInfo);

private:
    QString m_source;
};
