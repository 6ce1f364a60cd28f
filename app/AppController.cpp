#include "app/AppController.h"

#include "app/ContextFlags.h"
#include "app/MenuItems.h"
#include "app/Resources.h"
#include "platform/Application.h"
#include "platform/Movies.h"
#include "platform/Platform.h"
#include "platform/StatusBar.h"

#include <QAction>
#include <QMenu>

namespace {
const QString kStatusItemImage = QStringLiteral("Velmora.tif");
} // namespace

AppController::AppController() {
    m_item = platform::statusBar().statusItemWithLength(
        platform::StatusBarService::kVariableStatusItemLength);
    m_item->setHighlightMode(true);
    if (auto image = imageNamed(kStatusItemImage))
        m_item->setImage(*image, kStatusItemImage);
    setup();
}

AppController::~AppController() {
    // The status item refers to the menu; it goes first.
    m_item.reset();
}

void AppController::applicationWillFinishLaunching() {
    EnterMovies();
}

void AppController::applicationWillTerminate() {
    ExitMovies();
}

void AppController::setup() {
    buildMenu();
}

void AppController::menuNeedsUpdate(QMenu*) {
    setup();
}

bool AppController::validateMenuItem(QAction*) {
    return true;
}

void AppController::buildMenu() {
    if (!m_item->menu()) {
        m_menu.reset(NewMenu(nullptr));
        QMenu* menu = m_menu.get();
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { menuNeedsUpdate(menu); });
        m_item->setMenu(menu);
    }
    while (!m_menu->actions().isEmpty())
        DestroyMenuItem(m_menu.get(), m_menu->actions().first());

    const bool hasSelection = addFinderSelectionMenuItem();
    checkSelectionForImagesAndMoviesAndWeblocs();
    addLabel(QStringLiteral("Clipboard:"));
    addClipboardTextMenuItem();
    addClipboardImageMenuItem();
    if (gClipboardHasText || gClipboardHasImage)
        addSeparator();
    const bool frontIsMail = addProcessNameMenuItem();
    if (hasSelection) {
        if (gFinderSelectionHasImage || gFinderSelectionHasMovie) {
            addCopyImageOrPosterFrameMenuItem();
            if (gFinderSelectionHasMovie)
                addGetMovieInfoMenuItem();
        }
        addCustomIconsMenuItems();
        addCreateImagesOfIconsMenuItem();
        addFilenamesMenuItem();
        addEmailItemsMenuItem();
        addCombineFilesMenuItem();
    }
    addCompletionsMenuItem();
    if (frontIsMail)
        addAddToAddressBookMenuItem();
    addDesktopPicturesMenuItems();
    addBrowsers();
    addMenuItem(QStringLiteral("Quit"), VELMORA_SELECTOR(selItemQuit), std::nullopt);

    applyAutomaticEnabling(m_menu.get());
}

QAction* AppController::addMenuItem(const QString& title, Selector action,
                                    const std::optional<QString>& toolTip) {
    return appendItem(m_menu.get(), title, action, toolTip);
}

QAction* AppController::appendItem(QMenu* menu, const QString& title, Selector action,
                                   const std::optional<QString>& toolTip) {
    QAction* item = AppendMenuItem(menu, title);
    connectAction(item, action);
    SetItemToolTip(item, toolTip);
    return item;
}

QAction* AppController::addCommandItem(const QString& title, Selector action,
                                       const QString& toolTip, const QString& image) {
    QAction* item = addMenuItem(title, action, toolTip);
    giveImage(item, image);
    return item;
}

QMenu* AppController::addSubmenuItem(const QString& title, const std::optional<QString>& toolTip,
                                     const std::optional<QString>& image) {
    QAction* parent = addLabel(title);
    SetItemToolTip(parent, toolTip);
    if (image)
        giveImage(parent, *image);
    QMenu* submenu = NewMenu(m_menu.get());
    AttachSubmenu(parent, submenu);
    return submenu;
}

// A missing picture resource leaves the item without a picture.
void AppController::giveImage(QAction* item, const QString& image) {
    if (const auto picture = imageNamed(image))
        SetItemImage(item, *picture, image);
}

QAction* AppController::addLabel(const QString& title) {
    return AppendMenuItem(m_menu.get(), title);
}

void AppController::addSeparator() {
    AppendSeparator(m_menu.get());
}

void AppController::connectAction(QAction* item, Selector action) {
    SetItemActionName(item, action.name);
    connect(item, &QAction::triggered, this,
            [this, item, handler = action.handler] { (this->*handler)(item); });
}

// Qt has no automatic enabling: an item with an action is enabled when the controller
// validates it; a label is disabled unless it opens a submenu.
void AppController::applyAutomaticEnabling(QMenu* menu) {
    for (QAction* item : menu->actions()) {
        if (item->isSeparator())
            continue;
        QMenu* submenu = QMenu::menuInAction(item);
        item->setEnabled(ItemHasAction(item) ? validateMenuItem(item) : submenu != nullptr);
        if (submenu)
            applyAutomaticEnabling(submenu);
    }
}

void AppController::selItemQuit(QAction*) {
    platform::application().terminate();
}
