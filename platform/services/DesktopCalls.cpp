// The classic calls over the desktop services: each hands its work to the installed desktop.
#include "platform/local/files/CustomIconStore.h"
#include "platform/services/AlertService.h"
#include "platform/services/Application.h"
#include "platform/services/Locations.h"
#include "platform/services/Notifications.h"
#include "platform/services/Platform.h"
#include "platform/services/Sounds.h"
#include "platform/services/StandardOutput.h"
#include "platform/services/StatusBar.h"
#include "platform/services/SystemLog.h"
#include "platform/services/Windows.h"
#include "platform/services/WordCompletion.h"
#include "platform/services/Workspace.h"

int RunStopAlert(const QString& message, const std::optional<QString>& detail,
                 const QStringList& buttons) {
    return platform::alerts().runStopAlert(message, detail, buttons);
}

std::optional<QString> RunSavePanel(const QString& requiredType, const QString& initialName) {
    return platform::alerts().runSavePanel(requiredType, initialName);
}

std::optional<QString> RunChooseFolderDialog(const QString& title, const QString& button,
                                             const QString& message) {
    return platform::alerts().runChooseFolder(title, button, message);
}

void NSApplicationTerminate() {
    platform::application().terminate();
}

QDateTime NSDateNow() {
    return platform::application().now().toUTC();
}

QString NSHomeDirectory() {
    return platform::locations().home();
}

QString NSBundleResourcePath() {
    return platform::locations().resourceDir();
}

QString NSTemporaryItemsDirectory() {
    return platform::locations().temporaryItems();
}

QString HelperProgramPath(const QString& name) {
    return platform::locations().helperPrograms() + u'/' + name;
}

QString UserDataHome() {
    return platform::locations().dataHome();
}

QString UserCacheHome() {
    return platform::locations().cacheHome();
}

QString UserConfigHome() {
    return platform::locations().configHome();
}

std::unique_ptr<platform::StatusItem> NSStatusBarStatusItemWithLength(double length) {
    return platform::statusBar().statusItemWithLength(length);
}

bool NSWorkspaceOpenFile(const QString& path) {
    return platform::workspace().openFile(path);
}

std::optional<QIcon> NSWorkspaceIconForFile(const QString& path) {
    if (const auto custom = CustomIconFile(path)) {
        const QIcon icon(*custom);
        if (!icon.availableSizes().isEmpty())
            return icon;
    }
    return platform::workspace().iconForFile(path);
}

bool NSWorkspaceSetIconForFile(const QImage& picture, const QString& path) {
    if (picture.isNull()) {
        if (!ClearCustomIcon(path))
            return false;
        platform::workspace().customIconChanged(path, std::nullopt);
        return true;
    }
    const auto file = StoreCustomIcon(
        path, picture, platform::locations().dataHome() + QStringLiteral("/velmora/icons"));
    if (!file)
        return false;
    platform::workspace().customIconChanged(path, file);
    return true;
}

std::optional<QString> NSWorkspaceFullPathForApplication(const QString& name) {
    return platform::workspace().fullPathForApplication(name);
}

bool NSWorkspaceLaunchApplication(const QString& path) {
    return platform::workspace().launchApplication(path);
}

bool NSWorkspaceSelectFile(const QString& path) {
    return platform::workspace().selectFile(path);
}

void SysBeep(short) {
    platform::sounds().beep();
}

bool PlaySoundNamed(const QString& name) {
    return platform::sounds().playSound(name);
}

void NSLog(const QString& line) {
    platform::systemLog().log(line);
}

void WriteStandardOutput(const QString& text) {
    platform::output().write(text);
}

std::optional<QStringList> NSSpellCheckerCompletions(const QString& partial) {
    return platform::wordCompletion().completions(partial);
}

void NSWindowMakeKeyAndOrderFront(QWidget* window) {
    if (window)
        platform::windows().makeKeyAndOrderFront(window);
}

void CFNotificationCenterPostDistributedNotification(const QString& name, const QString& object,
                                                     bool deliverImmediately) {
    platform::notifications().postDistributed(name, object, deliverImmediately);
}

void NSUserNotificationCenterDeliver(const QString& text) {
    platform::notifications().deliverUserNotice(text);
}
