#include "commands/browsers/BrowserCommands.h"

#include "common/MenuItems.h"
#include "platform/services/Workspace.h"

#include <QAction>

namespace {

// The browsers offered, in menu order.
const QString kBrowserNames[] = {QStringLiteral("Safari"), QStringLiteral("Google Chrome"),
                                 QStringLiteral("Flock"),  QStringLiteral("Firefox"),
                                 QStringLiteral("Opera"),  QStringLiteral("Camino"),
                                 QStringLiteral("OmniWeb")};

// The action tells the browsers apart by the item's title.
void fillBrowsers(QMenu* submenu, const MenuContext&) {
    for (const QString& browser : kBrowserNames) {
        const auto path = NSWorkspaceFullPathForApplication(browser);
        if (!path)
            continue;
        QAction* item = AppendActionItem(submenu, browser, "selBrowserItem:", std::nullopt);
        if (const auto icon = NSWorkspaceIconForFile(*path))
            SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
    }
}

const CommandRow kBrowsersRows[] = {
    {.title = "Copy and Paste Title",
     .toolTip = "Copy the title of the selected browser and paste it into the front app's active "
                "text insertion point.",
     .image = "CopyTitle32.tif",
     .separatorAfter = true,
     .fill = fillBrowsers},
};

} // namespace

std::span<const CommandRow> BrowsersRows() {
    return kBrowsersRows;
}
