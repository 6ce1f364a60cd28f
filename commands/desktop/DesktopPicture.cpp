#include "commands/desktop/DesktopPicture.h"

#include "common/AlertMessages.h"
#include "common/ScriptText.h"
#include "platform/services/PreferenceCalls.h"
#include "platform/services/Workspace.h"
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

QString DesktopPictureSettingScript(const QString& path) {
    return ScriptWithText(
        QStringLiteral("tell application \"Finder\" \rset desktop picture to POSIX file \"%@\"\r "
                       "end tell"),
        path);
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
        NSWorkspaceSelectFile(*current);
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
