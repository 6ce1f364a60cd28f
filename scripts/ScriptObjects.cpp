// The script-object path: scripts made from text and run in one step, and the script resources.
#include "scripts/ScriptRunner.h"

#include "common/ClipboardText.h"
#include "common/ScriptText.h"
#include "platform/script/AppleScript.h"
#include "platform/services/Locations.h"
#include "platform/services/Sounds.h"
#include "platform/services/SystemLog.h"

namespace {

const QString kCompletionSound = QStringLiteral("Ping");

std::optional<QString> readScriptResource(const QString& name) {
    const QString folder = NSBundleResourcePath();
    if (folder.isEmpty())
        return std::nullopt;
    return ReadScriptSource(folder + QStringLiteral("/scripts/") + name);
}

std::optional<QString> resultString(const QString& source) {
    NSAppleScript script(source);
    QVariantMap errorInfo;
    const auto result = script.executeAndReturnError(&errorInfo);
    return result ? result->stringValue() : std::nullopt;
}

QString withCommasForLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(","));
    text.replace(u'\r', u',');
    text.replace(u'\n', u',');
    return text;
}

} // namespace

std::optional<QString> RunCFStringScript2(const QString& text, unsigned char toPasteboard) {
    NSAppleScript script(text);
    QVariantMap errorInfo;
    const auto result = script.executeAndReturnError(&errorInfo);
    std::optional<QString> string = result ? result->stringValue() : std::nullopt;
    // A result the clipboard would not take is no result: the caller would go on to paste
    // whatever the clipboard held before.
    if (string && toPasteboard && PutStringOnPasteboard(*string) != noErr) {
        NSLog(QStringLiteral("RunCFStringScript error = The clipboard did not take the result."));
        return std::nullopt;
    }
    if (!result) {
        NSLog(QStringLiteral("RunCFStringScript error = %1")
                  .arg(errorInfo.value(NSAppleScriptErrorMessage).toString()));
        return std::nullopt;
    }
    return string;
}

std::optional<QString> RunScript2(const QString& text, unsigned char toPasteboard) {
    return RunCFStringScript2(text, toPasteboard);
}

std::optional<QString> RunScriptResource(const QString& name, const std::optional<QString>& target,
                                         const QString& replacement) {
    auto source = readScriptResource(name);
    if (!source)
        return std::nullopt;
    if (target && !target->isEmpty())
        source->replace(*target, replacement, Qt::CaseInsensitive);
    return resultString(*source);
}

std::optional<QString> RunScriptResource2(const QString& name, const std::optional<QString>& target,
                                          const QString& replacement) {
    return RunScriptResource(name, target, replacement);
}

std::optional<QString> RunScriptResource(const QString& name, unsigned char replaceFalse,
                                         unsigned char toPasteboard, unsigned char commas,
                                         unsigned char silent) {
    auto source = readScriptResource(name);
    if (!source)
        return std::nullopt;
    if (replaceFalse) {
        const qsizetype at = source->indexOf(QLatin1String("false"), 0, Qt::CaseSensitive);
        if (at >= 0)
            source->replace(at, 5, QStringLiteral("true"));
    }
    auto text = resultString(*source);
    if (text) {
        if (commas)
            text = withCommasForLineBreaks(*text);
        if (toPasteboard)
            PutStringOnPasteboard(*text);
        if (!silent)
            PlaySoundNamed(kCompletionSound);
    }
    return text;
}
