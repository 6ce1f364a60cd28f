// The command catalogue as data. Each command family keeps the rows it offers in a table next
// to its handlers; the controller's builders append those tables in the menu's order, each row
// under its condition.
//
// A row is a menu item: a title, a tool tip, a picture resource, the name of the controller's
// action it runs, its condition, and whether a separator follows it. A row without an action is
// a submenu parent, whose submenu holds rows of its own or is filled by the family when the row
// is appended.
#pragma once

#include <QString>
#include <optional>
#include <span>

class QAction;
class QMenu;

// What the rebuild found out about the context before the command sections, which is all a
// row's condition may look at.
struct MenuContext {
    bool hasSelection = false;
    bool selectionHasImage = false;
    bool selectionHasMovie = false;
    bool selectionHasWebloc = false;
    bool clipboardHasText = false;
    bool clipboardHasImage = false;
    std::optional<QString> frontApplication;
    std::optional<QString> clipboardText;
};

struct CommandRow;
using RowCondition = bool (*)(const MenuContext& context);
using SubmenuFiller = void (*)(QMenu* submenu, const MenuContext& context);

struct CommandRow {
    const char* title;
    const char* toolTip = nullptr;    // none: no tool tip
    const char* image = nullptr;      // a picture resource; none: no picture
    const char* action = nullptr;     // "selClipToIcon:"; none: a submenu parent
    RowCondition condition = nullptr; // none: always
    bool separatorAfter = false;
    std::span<const CommandRow> submenu = {};
    SubmenuFiller fill = nullptr; // called after the fixed submenu rows
};

// Conditions several families share.
bool HasSelection(const MenuContext& context);

// Appends the rows whose conditions hold to the end of `menu`, each followed by its separator.
void AppendRows(QMenu* menu, std::span<const CommandRow> rows, const MenuContext& context);

// Appends one row whatever its condition; the new item (a submenu parent owns its submenu).
QAction* AppendRow(QMenu* menu, const CommandRow& row, const MenuContext& context);

// An item with an action, as a family's submenu filler makes one: the title, the action's
// name and the tool tip when there is one.
QAction* AppendActionItem(QMenu* menu, const QString& title, const char* action,
                          const std::optional<QString>& toolTip);
