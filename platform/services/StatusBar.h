// The status bar: the one item the application shows there, and its menu.
//
// The item shows the menu it is given; the menu's owner (the controller) hears of each
// opening through the menu's aboutToShow signal, in time to rebuild it.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

class QMenu;

namespace platform {

class StatusItem {
public:
    virtual ~StatusItem() = default;
    // `name` is the resource the image came from, for those that record what is shown.
    virtual void setImage(const QIcon& image, const QString& name) = 0;
    virtual void setHighlightMode(bool highlight) = 0;
    virtual QMenu* menu() const = 0;
    virtual void setMenu(QMenu* menu) = 0;
    // What a middle click or a double click on the item does; the menu stays on the plain click.
    virtual void setOtherActivation(std::function<void()> handler) = 0;
};

class StatusBarService {
public:
    virtual ~StatusBarService() = default;
    static constexpr double kVariableStatusItemLength = -1;
    virtual std::unique_ptr<StatusItem> statusItemWithLength(double length) = 0;
};

} // namespace platform

namespace platform::menu_properties {
// What the controller stores on each menu item besides Qt's own text: the title as the user
// sees it (Qt's text doubles every "&"), the action's name, the tool tip when one was set, and
// what the image shows. Recorders of the menu read these.
constexpr char kTitle[] = "velmoraTitle";
constexpr char kAction[] = "velmoraAction";
constexpr char kToolTip[] = "velmoraToolTip";
constexpr char kImage[] = "velmoraImage";
// Set on a submenu whose items are made when it first shows, until then.
constexpr char kWaitsToBeFilled[] = "velmoraWaitsToBeFilled";
} // namespace platform::menu_properties

// A new item in the system status bar.
std::unique_ptr<platform::StatusItem> NSStatusBarStatusItemWithLength(double length);
