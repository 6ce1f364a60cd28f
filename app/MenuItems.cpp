#include "app/MenuItems.h"

#include "platform/StatusBar.h"

#include <QAction>
#include <QMenu>

namespace props = platform::menu_properties;

QAction* AppendMenuItem(QMenu* menu, const QString& title) {
    auto* item = new QAction(menu);
    QString shown = title;
    shown.replace(u'&', QLatin1String("&&"));
    item->setText(shown);
    item->setProperty(props::kTitle, title);
    menu->addAction(item);
    return item;
}

void AppendSeparator(QMenu* menu) {
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    menu->addAction(separator);
}

QString ItemTitle(const QAction* item) {
    return item->property(props::kTitle).toString();
}

std::optional<QString> ItemToolTip(const QAction* item) {
    const QVariant toolTip = item->property(props::kToolTip);
    if (!toolTip.isValid())
        return std::nullopt;
    return toolTip.toString();
}

void SetItemToolTip(QAction* item, const std::optional<QString>& toolTip) {
    if (!toolTip)
        return;
    item->setProperty(props::kToolTip, *toolTip);
    item->setToolTip(*toolTip);
}

void SetItemActionName(QAction* item, const char* name) {
    item->setProperty(props::kAction, QString::fromLatin1(name));
}

bool ItemHasAction(const QAction* item) {
    return item->property(props::kAction).isValid();
}

void SetItemImage(QAction* item, const QIcon& image, const QString& description) {
    item->setIcon(image);
    item->setProperty(props::kImage, description);
}

QMenu* NewMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setToolTipsVisible(true);
    return menu;
}

void AttachSubmenu(QAction* item, QMenu* submenu) {
    item->setMenu(submenu);
}

void DestroyMenuItem(QMenu* menu, QAction* item) {
    menu->removeAction(item);
    delete QMenu::menuInAction(item);
    delete item;
}
