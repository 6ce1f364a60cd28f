#include "commands/browsers/BrowserCommands.h"

#include "common/AlertMessages.h"
#include "common/MenuItems.h"
#include "platform/services/ApplicationSignatures.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"
#include "scripts/ScriptRunner.h"

#include <QAction>

namespace {

constexpr Browser kBrowsers[] = {
    {"Safari", FOUR_CHAR_CODE("sfri"),
     "tell application \"Safari\"\r\tname of first document\rend tell"},
    {"Google Chrome", FOUR_CHAR_CODE("rimZ"),
     "tell application \"Google Chrome\"\r\tname of window 1\rend tell"},
    {"Flock", FOUR_CHAR_CODE("FLKb"),
     "tell application \"Flock\"\r\tset p to properties of front window as list\r\treturn item 2 "
     "of p\rend tell"},
    {"Firefox", FOUR_CHAR_CODE("MOZB"),
     "tell application \"Firefox\"\r\tname of first window\rend tell"},
    {"Opera", FOUR_CHAR_CODE("OPRA"),
     "tell application \"Opera\"\r\tname of front window\rend tell"},
    {"Camino", FOUR_CHAR_CODE("MOZC"),
     "tell application \"Camino\"\r\tname of front browser window\rend tell"},
    {"OmniWeb", FOUR_CHAR_CODE("OWEB"),
     "tell application \"OmniWeb\"\r\tset theWindow to (front window)\r\tdo script "
     "\"document.title\" window theWindow\rend tell"},
};

// The action tells the browsers apart by the item's title.
void appendInstalledBrowsers(QMenu* submenu) {
    for (const Browser& browser : kBrowsers) {
        const QString name = QString::fromLatin1(browser.name);
        const auto path = NSWorkspaceFullPathForApplication(name);
        if (!path)
            continue;
        QAction* item = AppendActionItem(submenu, name, "selBrowserItem:", std::nullopt);
        if (const auto icon = NSWorkspaceIconForFile(*path))
            SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
    }
}

// Which browsers are installed is asked only when the submenu opens: most openings of the menu
// never show it.
void fillBrowsers(QMenu* submenu, const MenuContext&) {
    FillSubmenuWhenShown(submenu, appendInstalledBrowsers);
}

const CommandRow kBrowsersRows[] = {
    {.title = "Copy and Paste Title",
     .toolTip = "Copy the title of the selected browser and paste it into the front app's active "
                "text insertion point.",
     .image = "CopyTitle32.tif",
     .separatorAfter = true,
     .fill = fillBrowsers},
};

// The browser's front page title on the clipboard; false when there is none to be had.
bool copyTitle(const Browser& browser) {
    ProcessSerialNumber psn;
    if (MoreProcFindProcessBySignature(browser.creator, kApplicationFileType, &psn) != noErr)
        return false;
    return RunScript2(QString::fromUtf8(browser.titleScript), true).has_value();
}

} // namespace

std::span<const Browser> Browsers() {
    return kBrowsers;
}

std::span<const CommandRow> BrowsersRows() {
    return kBrowsersRows;
}

void SelectBrowserItem(QAction* item) {
    const QString title = ItemTitle(item);
    for (const Browser& browser : kBrowsers) {
        if (title != QLatin1String(browser.name))
            continue;
        if (copyTitle(browser)) {
            RunScriptResource2(QStringLiteral("Paste.applescript"), std::nullopt, QString());
            return;
        }
        ShowAlertMessage(
            QStringLiteral("The title of the front web page could not be copied."),
            QStringLiteral("Make sure the selected browser is running and has an open window."));
        return;
    }
}
