#include "common/ScriptText.h"

#include "platform/local/files/FileOperations.h"
#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/text/TextEncodings.h"
#include "platform/script/ScriptTokens.h"

QString ScriptWithText(const QString& scriptTemplate, const QString& text) {
    QString script = scriptTemplate;
    return script.replace(QLatin1String("\"%@\""), QuotedScriptText(text));
}

void AddFilePathToPaths(const FSRef* item, QString& paths) {
    QString path;
    if (FSRefCopyPathUnicode(item, &path) != noErr)
        return;
    if (!paths.isEmpty())
        paths += QLatin1String(", ");
    paths += QuotedScriptText(path);
}

// The Finder's answer is a string literal: "/Users/ann/a \"b\".png" stands for the path with
// its quotes. Cutting at the next double quote would keep the backslash and lose the rest.
std::optional<QString> TextOfDisplayedString(const QString& display) {
    const qsizetype open = display.indexOf(u'"');
    if (open < 0)
        return std::nullopt;
    return ReadStringLiteral(display.mid(open));
}

std::optional<QString> ReadScriptSource(const QString& path) {
    // Far more than any script of the application's own.
    constexpr qint64 kMaxScriptBytes = 1024 * 1024;
    const auto bytes = ReadRegularFile(path, kMaxScriptBytes);
    if (!bytes)
        return std::nullopt;
    const qsizetype end = bytes->indexOf('\0');
    return DecodeUtf8Exactly(end < 0 ? *bytes : bytes->left(end));
}
