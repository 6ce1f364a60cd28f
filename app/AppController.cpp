#include "app/AppController.h"

#include "app/ContextFlags.h"
#include "commands/pdf/FileTypes.h"
#include "common/CommandProgress.h"
#include "common/MenuItems.h"
#include "common/Resources.h"
#include "common/TextWindow.h"
#include "common/UniqueNames.h"
#include "platform/local/media/Movies.h"
#include "platform/services/Application.h"
#include "platform/services/Processes.h"
#include "platform/services/Sounds.h"
#include "platform/services/StatusBar.h"
#include "platform/services/Windows.h"
#include "prefs/PrefPane.h"

#include <QAction>
#include <QMenu>

namespace {
const QString kStatusItemImage = QStringLiteral("Velmora.tif");
} // namespace

AppController::AppController() : m_prefController(std::make_unique<VelmoraPrefPane>()) {
    m_item = NSStatusBarStatusItemWithLength(platform::StatusBarService::kVariableStatusItemLength);
    m_item->setHighlightMode(true);
    m_item->setOtherActivation([this] { selItemPreferences(nullptr); });
    if (auto image = imageNamed(kStatusItemImage))
        m_item->setImage(*image, kStatusItemImage);
    setup();
}

AppController::~AppController() {
    // The status item refers to the menu; it goes first.
    m_item.reset();
}

void AppController::selItemPreferences(QAction*) {
    SetFrontProcess(&kCurrentProcessPSN);
    NSWindowMakeKeyAndOrderFront(m_prefController->window());
}

TextWindow& AppController::textWindow() {
    if (!m_textWindow)
        m_textWindow = std::make_unique<TextWindow>();
    return *m_textWindow;
}

void AppController::applicationWillFinishLaunching() {
    EnterMovies();
    InitializeSuffixMap();
    RemoveOldTemporaryItems(kTemporaryItemsGraceSeconds);
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
    m_context = MenuContext();
    if (m_commandAtWork) {
        buildMenuAtWork();
        return;
    }

    // The header probes: what they find is what the command rows' conditions read.
    m_context.hasSelection = addFinderSelectionMenuItem();
    checkSelectionForImagesAndMoviesAndWeblocs();
    addLabel(QStringLiteral("Clipboard:"));
    addClipboardTextMenuItem();
    addClipboardImageMenuItem();
    if (gClipboardHasText || gClipboardHasImage)
        addSeparator();
    addProcessNameMenuItem();
    m_context.selectionHasImage = gFinderSelectionHasImage;
    m_context.selectionHasMovie = gFinderSelectionHasMovie;
    m_context.selectionHasWebloc = gFinderSelectionHasWebloc;
    m_context.clipboardHasText = gClipboardHasText;
    m_context.clipboardHasImage = gClipboardHasImage;

    // The catalogue in menu order. Whether a row is shown is its own condition's answer alone.
    addCopyImageOrPosterFrameMenuItem();
    addGetMovieInfoMenuItem();
    addCustomIconsMenuItems();
    addCreateImagesOfIconsMenuItem();
    addFilenamesMenuItem();
    addEmailItemsMenuItem();
    addCombineFilesMenuItem();
    addCompletionsMenuItem();
    addAddToAddressBookMenuItem();
    addDesktopPicturesMenuItems();
    addBrowsers();
    addMenuItem(QStringLiteral("Quit"), "selItemQuit:", std::nullopt);

    connectAndEnable(m_menu.get());
}

void AppController::buildMenuAtWork() {
    addLabel(QStringLiteral("Working on \u201c%1\u201d\u2026").arg(*m_commandAtWork));
    if (const QString progress = CommandProgress(); !progress.isEmpty())
        addLabel(progress);
    addSeparator();
    addMenuItem(QStringLiteral("Quit"), "selItemQuit:", std::nullopt);
    connectAndEnable(m_menu.get());
}

QAction* AppController::addMenuItem(const QString& title, const char* action,
                                    const std::optional<QString>& toolTip) {
    return AppendActionItem(m_menu.get(), title, action, toolTip);
}

QAction* AppController::addLabel(const QString& title) {
    return AppendMenuItem(m_menu.get(), title);
}

void AppController::addSeparator() {
    AppendSeparator(m_menu.get());
}

void AppController::addRows(std::span<const CommandRow> rows) {
    AppendRows(m_menu.get(), rows, m_context);
}

// Qt has no automatic enabling: an item with an action the controller has is enabled when the
// controller validates it; a label, or an item whose action nobody answers to, is disabled
// unless it opens a submenu.
void AppController::connectAndEnable(QMenu* menu) {
    for (QAction* item : menu->actions()) {
        if (item->isSeparator())
            continue;
        QMenu* submenu = QMenu::menuInAction(item);
        CommandHandler handler = nullptr;
        if (const auto action = ItemActionName(item)) {
            handler = actionNamed(*action);
            if (handler)
                connect(item, &QAction::triggered, this,
                        [this, item, handler] { perform(handler, item); });
        }
        item->setEnabled(handler ? validateMenuItem(item) : submenu != nullptr);
        if (submenu && SubmenuWaitsToBeFilled(submenu))
            connect(
                submenu, &QMenu::aboutToShow, this, [this, submenu] { connectAndEnable(submenu); },
                Qt::SingleShotConnection);
        else if (submenu)
            connectAndEnable(submenu);
    }
}

void AppController::perform(CommandHandler handler, QAction* item) {
    if (handler == &AppController::selItemQuit) {
        selItemQuit(item);
        return;
    }
    if (m_commandAtWork) {
        SysBeep(1);
        return;
    }
    // The command keeps a copy of its item: a menu opened while its work runs rebuilds the
    // menu, and the item chosen would be gone under it.
    QAction chosen;
    chosen.setText(item->text());
    chosen.setToolTip(item->toolTip());
    chosen.setData(item->data());
    for (const QByteArray& name : item->dynamicPropertyNames())
        chosen.setProperty(name.constData(), item->property(name.constData()));
    m_commandAtWork = ItemTitle(item);
    SetCommandProgress(QString());
    (this->*handler)(&chosen);
    m_commandAtWork.reset();
    RemoveOldTemporaryItems(kTemporaryItemsGraceSeconds);
}

void AppController::selItemQuit(QAction*) {
    NSApplicationTerminate();
}
