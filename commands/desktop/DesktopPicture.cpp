#include "commands/desktop/DesktopPicture.h"

#include "app/Alerts.h"
#include "platform/Platform.h"
#include "platform/Preferences.h"
#include "platform/Workspace.h"
#include "platform/script/ScriptTokens.h"
#include "platform/script/ScriptValue.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "scripts/ScriptRunner.h"

namespace {

void storeValue(const QString& key, const std::optional<QVariant>& value) {
    CFPreferencesSetAppValue(key, value, kApplicationIdentifier);
    CFPreferencesAppSynchronize(kApplicationIdentifier);
}

void runSettingScript(const QString& path) {
    RunCFStringScript(DesktopPictureSettingScript(path));
}

} // namespace

QString DesktopPictureReadingScript() {
    return QStringLiteral("tell application \"Finder\" \rPOSIX path of (desktop picture as "
                          "alias)\r end tell");
}

// The path goes in as a string literal of its own, escaped, so that a double quote or a
// backslash in it names exactly that file and nothing in it can end the literal.
QString DesktopPictureSettingScript(const QString& path) {
    QString literal = QuotedScriptText(path);
    literal = literal.mid(1, literal.size() - 2);
    QString script =
        QStringLiteral("tell application \"Finder\" \rset desktop picture to POSIX file \"%@\"\r "
                       "end tell");
    return script.replace(QLatin1String("%@"), literal);
}

// The Finder's answer is a string literal: "/Users/ann/a \"b\".png" stands for the path with
// its quotes. Cutting at the next double quote would keep the backslash and lose the rest.
std::optional<QString> TextOfDisplayedString(const QString& display) {
    const qsizetype open = display.indexOf(u'"');
    if (open < 0)
        return std::nullopt;
    return ReadStringLiteral(display.mid(open));
}

std::optional<QString> GetDesktopPictureFile() {
    const auto display = RunCFStringScriptAndReturn(DesktopPictureReadingScript());
    if (!display)
        return std::nullopt;
    return TextOfDisplayedString(*display);
}

void SetDesktopPictureToPath(const QString& path) {
    if (const auto current = GetDesktopPictureFile())
        storeValue(kLastDesktopPicturePathKey, *current);
    runSettingScript(path);
    AddPathToRecentPicturePaths(path);
}

void DoResetDesktopPicture() {
    CFPreferencesAppSynchronize(kApplicationIdentifier);
    const auto last = CFPreferencesCopyAppValue(kLastDesktopPicturePathKey, kApplicationIdentifier);
    if (!last) {
        ShowAlertMessage(QStringLiteral("There last desktop picture was not saved in preferences."),
                         std::nullopt);
        return;
    }
    if (last->typeId() != QMetaType::QString)
        return;
    const QString path = last->toString();
    if (const auto current = GetDesktopPictureFile()) {
        storeValue(kLastDesktopPicturePathKey, *current);
        AddPathToRecentPicturePaths(*current);
    }
    runSettingScript(path);
}

void DoRevealDesktopPictureFile() {
    if (const auto current = GetDesktopPictureFile())
        platform::workspace().selectFile(*current);
}

QVariantList GetRecentPicturePaths() {
    CFPreferencesAppSynchronize(kApplicationIdentifier);
    const auto value =
        CFPreferencesCopyAppValue(kRecentDesktopPicturePathsKey, kApplicationIdentifier);
    if (!value || value->typeId() != QMetaType::QVariantList)
        return {};
    return value->toList();
}

void AddPathToRecentPicturePaths(const QString& path) {
    QVariantList paths = GetRecentPicturePaths();
    for (const QVariant& entry : paths) {
        if (entry.typeId() == QMetaType::QString && entry.toString() == path)
            return;
    }
    paths.append(path);
    storeValue(kRecentDesktopPicturePathsKey, paths);
}

bool ClearRecentDesktopPaths() {
    CFPreferencesSetAppValue(kRecentDesktopPicturePathsKey, std::nullopt, kApplicationIdentifier);
    return CFPreferencesAppSynchronize(kApplicationIdentifier);
}
