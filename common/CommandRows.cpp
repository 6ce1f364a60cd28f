#include "common/CommandRows.h"

#include "common/MenuItems.h"
#include "common/Resources.h"

#include <QAction>
#include <QMenu>

namespace {

std::optional<QString> text(const char* utf8) {
    return utf8 ? std::optional<QString>(QString::fromUtf8(utf8)) : std::nullopt;
}

} // namespace

bool HasSelection(const MenuContext& context) {
    return context.hasSelection;
}

void AppendRows(QMenu* menu, std::span<const CommandRow> rows, const MenuContext& context) {
    for (const CommandRow& row : rows) {
        if (row.condition && !row.condition(context))
            continue;
        AppendRow(menu, row, context);
        if (row.separatorAfter)
            AppendSeparator(menu);
    }
}

QAction* AppendRow(QMenu* menu, const CommandRow& row, const MenuContext& context) {
    QAction* item = AppendMenuItem(menu, QString::fromUtf8(row.title));
    if (row.action)
        SetItemActionName(item, row.action);
    SetItemToolTip(item, text(row.toolTip));
    // A missing picture resource leaves the item without a picture.
    if (row.image) {
        const QString name = QString::fromUtf8(row.image);
        if (const auto picture = imageNamed(name))
            SetItemImage(item, *picture, name);
    }
    if (!row.action) {
        QMenu* submenu = NewMenu(menu);
        AttachSubmenu(item, submenu);
        AppendRows(submenu, row.submenu, context);
        if (row.fill)
            row.fill(submenu, context);
    }
    return item;
}

QAction* AppendActionItem(QMenu* menu, const QString& title, const char* action,
                          const std::optional<QString>& toolTip) {
    QAction* item = AppendMenuItem(menu, title);
    SetItemActionName(item, action);
    SetItemToolTip(item, toolTip);
    return item;
}
