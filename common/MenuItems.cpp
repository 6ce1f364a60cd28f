#include "common/MenuItems.h"

#include "platform/services/StatusBar.h"

#include <QAction>
#include <QMenu>

namespace props = platform::menu_properties;

namespace {

// Longer titles are drawn cut short with an ellipsis. Qt lays out an item's whole text before
// the menu opens: a clipboard text of a megabyte would hold the opening up for a third of a
// second, for one line that no screen can show.
constexpr qsizetype kDrawnLength = 240;

// What Qt is given to draw: it reads "&" as a mnemonic and a tab as the start of a shortcut.
QString drawnText(const QString& title) {
    QString shown = title.size() > kDrawnLength ? title.left(kDrawnLength) + u'\u2026' : title;
    shown.replace(u'&', QLatin1String("&&"));
    shown.replace(u'\t', u' ');
    return shown;
}

} // namespace

QAction* AppendMenuItem(QMenu* menu, const QString& title) {
    auto* item = new QAction(menu);
    item->setText(drawnText(title));
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

std::optional<QString> ItemActionName(const QAction* item) {
    const QVariant name = item->property(props::kAction);
    if (!name.isValid())
        return std::nullopt;
    return name.toString();
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

void FillSubmenuWhenShown(QMenu* submenu, std::function<void(QMenu*)> fill) {
    submenu->setProperty(props::kWaitsToBeFilled, true);
    QObject::connect(
        submenu, &QMenu::aboutToShow, submenu,
        [submenu, fill = std::move(fill)] {
            submenu->setProperty(props::kWaitsToBeFilled, QVariant());
            fill(submenu);
        },
        Qt::SingleShotConnection);
}

bool SubmenuWaitsToBeFilled(const QMenu* submenu) {
    return submenu->property(props::kWaitsToBeFilled).toBool();
}

void FillSubmenuNow(QMenu* submenu) {
    if (SubmenuWaitsToBeFilled(submenu))
        emit submenu->aboutToShow();
}

void DestroyMenuItem(QMenu* menu, QAction* item) {
    menu->removeAction(item);
    delete QMenu::menuInAction(item);
    delete item;
}
