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
//   actions                   selItemQuit, selFirstSelectedFinderItem
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
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

    void selItemQuit(QAction* sender);
    void selFirstSelectedFinderItem(QAction* sender);
    void selProcess(QAction* sender);
    void selClipboardImagePreviewItem(QAction* sender);

    QMenu* menu() const { return m_menu.get(); }

private:
    QAction* addLabel(const QString& title);
    void addSeparator();
    void connectAction(QAction* item, Selector action);
    void applyAutomaticEnabling(QMenu* menu);

    std::unique_ptr<platform::StatusItem> m_item;
    std::unique_ptr<QMenu> m_menu;
};

#define VELMORA_SELECTOR(name) (AppController::Selector{#name ":", &AppController::name})
