// Menu items as the controller makes them: a title, an action's name, a tool tip and an image,
// kept on the Qt action so that handlers and recorders can read them back exactly.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QMenu;

// A new item at the end of `menu`, owned by it. Qt would read an "&" in the title as a
// keyboard mnemonic; the title is shown as given, cut short with an ellipsis when it is too long
// for any screen. ItemTitle always gives the whole title.
QAction* AppendMenuItem(QMenu* menu, const QString& title);
void AppendSeparator(QMenu* menu);

QString ItemTitle(const QAction* item);
std::optional<QString> ItemToolTip(const QAction* item);
void SetItemToolTip(QAction* item, const std::optional<QString>& toolTip);
void SetItemActionName(QAction* item, const char* name);
bool ItemHasAction(const QAction* item);
// The name of the item's action ("selClipToIcon:"), or none for a label.
std::optional<QString> ItemActionName(const QAction* item);
// `description` says what the image is, e.g. "Velmora.tif" or "icon:/home/ann/a.txt".
void SetItemImage(QAction* item, const QIcon& image, const QString& description);

// A new empty menu, with tool tips shown, to be attached to an item with AttachSubmenu.
QMenu* NewMenu(QWidget* parent);
void AttachSubmenu(QAction* item, QMenu* submenu);

// A submenu whose items are made by `fill` the first time it is about to show: a list of many
// items then costs a rebuild of the menu nothing, and Qt, which adds items one at a time at a
// cost that grows with the items already there, is asked only when the user opens it. Whoever
// reads a submenu without showing it calls FillSubmenuNow first.
void FillSubmenuWhenShown(QMenu* submenu, std::function<void(QMenu*)> fill);
bool SubmenuWaitsToBeFilled(const QMenu* submenu);
// Does what showing the submenu would: fills it if it waits to be, with everyone who listens
// for its showing told, as they would be.
void FillSubmenuNow(QMenu* submenu);

// Removes the item from its menu and destroys it, with its submenu and everything in that.
void DestroyMenuItem(QMenu* menu, QAction* item);
