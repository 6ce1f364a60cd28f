// Menu items as the controller makes them: a title, an action's name, a tool tip and an image,
// kept on the Qt action so that handlers and recorders can read them back exactly.
#pragma once

#include <QIcon>
#include <QString>
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

// Removes the item from its menu and destroys it, with its submenu and everything in that.
void DestroyMenuItem(QMenu* menu, QAction* item);
