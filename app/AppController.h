// The application controller: the status item, its menu, and the rebuild of that menu from
// the current context every time it is about to open.
//
// Table of contents:
//   start-up and shut-down    AppController(), applicationWillFinishLaunching, ...Terminate
//   the rebuild               setup, buildMenu, menuNeedsUpdate, validateMenuItem, addMenuItem
//   Finder selection          addFinderSelectionMenuItem, checkSelectionForImagesAndMovies...,
//                             getFinderSelection (FinderSelectionItems.cpp)
//   clipboard                 addClipboardTextMenuItem, addClipboardImageMenuItem,
//                             selClipboardImagePreviewItem (ClipboardItems.cpp)
//   front application         addProcessNameMenuItem, selProcess (ProcessItems.cpp)
//   command catalogue         addCopyImageOrPosterFrameMenuItem ... addBrowsers
//                             (CommandCatalogue.cpp)
//   desktop pictures          addDesktopPicturesMenuItems and its four builders, and the five
//                             desktop-picture actions (DesktopPictureItems.cpp)
//   filenames                 selFilenamesItem (FilenameItems.cpp)
//   commands still to come    their actions, declared so the catalogue can offer them
//                             (PendingCommands.cpp)
//   actions                   selItemQuit, selFirstSelectedFinderItem
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace platform {
class StatusItem;
}

class AppController : public QObject {
public:
    using CommandHandler = void (AppController::*)(QAction* sender);
    // An action: the handler and the name it is known by in menus and records.
    struct Selector {
        const char* name;
        CommandHandler handler;
    };

    // Creates the status item and builds the menu for the first time.
    AppController();
    ~AppController() override;

    void applicationWillFinishLaunching();
    void applicationWillTerminate();

    void setup();
    void buildMenu();
    void menuNeedsUpdate(QMenu* menu);
    bool validateMenuItem(QAction* item);
    QAction* addMenuItem(const QString& title, Selector action,
                         const std::optional<QString>& toolTip);

    bool addFinderSelectionMenuItem();
    void checkSelectionForImagesAndMoviesAndWeblocs();
    QStringList getFinderSelection();

    void addClipboardTextMenuItem();
    void addClipboardImageMenuItem();
    // True when the front application is Mail.
    bool addProcessNameMenuItem();

    void addCopyImageOrPosterFrameMenuItem();
    void addGetMovieInfoMenuItem();
    void addCustomIconsMenuItems();
    void addCreateImagesOfIconsMenuItem();
    void addFilenamesMenuItem();
    void addEmailItemsMenuItem();
    void addCombineFilesMenuItem();
    void addCompletionsMenuItem();
    void addAddToAddressBookMenuItem();
    void addDesktopPicturesMenuItems();
    void addBrowsers();

    // Each makes its item at the end of the main menu, or none when its condition fails.
    QAction* addRevealDesktopPictureMenuItem();
    QAction* addSetDesktopPictureMenuItem();
    QAction* addResetDesktopPictureMenuItem();
    QAction* addRecentDesktopPicturesMenuItem(const QVariantList& paths);

    void selItemQuit(QAction* sender);
    void selFirstSelectedFinderItem(QAction* sender);
    void selProcess(QAction* sender);
    void selClipboardImagePreviewItem(QAction* sender);

    void selRevealDesktopPicture(QAction* sender);
    void selSetDesktopPicture(QAction* sender);
    void selResetDesktopPicture(QAction* sender);
    void selClearRecentDesktopPictures(QAction* sender);
    void selRecentDesktopPicture(QAction* sender);

    void selCopyImageOrPosterFrame(QAction* sender);
    void selGetMovieInfo(QAction* sender);
    void selClipToIcon(QAction* sender);
    void selAddClipToIcon(QAction* sender);
    void selAddWebIcon(QAction* sender);
    void selRemoveCustomIcon(QAction* sender);
    void selCreateImagesOfIcons(QAction* sender);
    void selFilenamesItem(QAction* sender);
    void selEmailItems(QAction* sender);
    void selCombineFiles(QAction* sender);
    void selShowCompletions(QAction* sender);
    void selAddToAddressBook(QAction* sender);
    void selBrowserItem(QAction* sender);

    QMenu* menu() const { return m_menu.get(); }

private:
    QAction* addLabel(const QString& title);
    void addSeparator();
    // An item with an action at the end of `menu`.
    QAction* appendItem(QMenu* menu, const QString& title, Selector action,
                        const std::optional<QString>& toolTip);
    // A command item of the main menu with its picture resource.
    QAction* addCommandItem(const QString& title, Selector action, const QString& toolTip,
                            const QString& image);
    // A label at the end of the main menu that opens a new, empty submenu.
    QMenu* addSubmenuItem(const QString& title, const std::optional<QString>& toolTip,
                          const std::optional<QString>& image);
    void giveImage(QAction* item, const QString& image);
    void connectAction(QAction* item, Selector action);
    void applyAutomaticEnabling(QMenu* menu);

    std::unique_ptr<platform::StatusItem> m_item;
    std::unique_ptr<QMenu> m_menu;
};

#define VELMORA_SELECTOR(name) (AppController::Selector{#name ":", &AppController::name})
