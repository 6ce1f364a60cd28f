// The application controller: the status item, its menu, and the rebuild of that menu from
// the current context every time it is about to open.
//
// Table of contents:
//   start-up and shut-down    AppController(), applicationWillFinishLaunching, ...Terminate
//   the rebuild               setup, buildMenu, menuNeedsUpdate, validateMenuItem, addMenuItem
//                             (AppController.cpp)
//   Finder selection          addFinderSelectionMenuItem, checkSelectionForImagesAndMovies...,
//                             getFinderSelection (FinderSelectionItems.cpp)
//   clipboard                 addClipboardTextMenuItem, addClipboardImageMenuItem
//                             (ClipboardItems.cpp)
//   front application         addProcessNameMenuItem (ProcessItems.cpp)
//   command catalogue         addCopyImageOrPosterFrameMenuItem ... addBrowsers, each appending
//                             its family's rows (CommandCatalogue.cpp)
//   actions                   one per menu command, each handing the chosen item to its family,
//                             and the table that finds them by name (Actions.cpp)
//   one command at a time     perform: a command whose work runs in the background keeps the
//                             menu answering; the menu then shows what it is doing, and no
//                             second command starts until it ends
#pragma once

#include "common/CommandRows.h"
#include "common/SelectionKinds.h"
#include "platform/types/MacTypes.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class TextWindow;
class VelmoraPrefPane;

namespace platform {
class StatusItem;
}

class AppController : public QObject {
public:
    using CommandHandler = void (AppController::*)(QAction* sender);

    // Creates the status item and builds the menu for the first time.
    AppController();
    ~AppController() override;

    void applicationWillFinishLaunching();
    void applicationWillTerminate();

    void setup();
    void buildMenu();
    void menuNeedsUpdate(QMenu* menu);
    bool validateMenuItem(QAction* item);
    // An item with the action named `action` ("selItemQuit:") at the end of the main menu.
    QAction* addMenuItem(const QString& title, const char* action,
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

    void selItemQuit(QAction* sender);
    void selFirstSelectedFinderItem(QAction* sender);
    void selProcess(QAction* sender);
    void selClipboardImagePreviewItem(QAction* sender);
    // Not in the menu: a middle or double click on the status item, or `velmora --preferences`.
    void selItemPreferences(QAction* sender);

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

    // The action method of that name ("selClipToIcon:"), or null.
    static CommandHandler actionNamed(const QString& name);

    QMenu* menu() const { return m_menu.get(); }
    // The text window of the movie report and the completions, made when first shown.
    TextWindow& textWindow();
    VelmoraPrefPane& preferencePane() { return *m_prefController; }

private:
    QAction* addLabel(const QString& title);
    void addSeparator();
    void addRows(std::span<const CommandRow> rows);
    // Connects every item that names an action to its method, and enables it as the platform's
    // automatic enabling would.
    void connectAndEnable(QMenu* menu);
    // Runs the chosen item's action, unless another one is at work (a beep then).
    void perform(CommandHandler handler, QAction* item);
    // The menu of a rebuild while a command is at work: what it is doing, and "Quit".
    void buildMenuAtWork();

    std::unique_ptr<platform::StatusItem> m_item;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<TextWindow> m_textWindow;
    std::unique_ptr<VelmoraPrefPane> m_prefController;
    // What this rebuild has found out so far; the command rows' conditions read it.
    MenuContext m_context;
    // The Finder's selection as this opening read it, each element resolved once (none where
    // it cannot be).
    std::vector<std::optional<FSRef>> m_selection;
    // The selection's kinds, and what earlier openings learnt of each item.
    SelectionKinds m_selectionKinds;
    // The clipboard's picture as the menu shows it, made once per contents of the clipboard.
    struct ClipboardPreview {
        UInt64 change;
        bool decodes;                 // the clipboard holds a picture that decodes
        std::optional<QIcon> picture; // its preview, where it could be scaled
    };
    std::optional<ClipboardPreview> m_clipboardPreview;
    // The clipboard's text as the menu shows it, read once per contents of the clipboard.
    struct ClipboardTextRead {
        UInt64 change;
        std::optional<QString> text;
    };
    std::optional<ClipboardTextRead> m_clipboardText;
    // The title of the command at work; none between commands.
    std::optional<QString> m_commandAtWork;
};
