// The actions of commands whose work is not part of this version yet. The menu offers them in
// their places; choosing one says so rather than doing nothing.
#include "app/Alerts.h"
#include "app/AppController.h"
#include "app/MenuItems.h"

#include <QAction>

namespace {

void notAvailable(QAction* sender) {
    ShowAlertMessage(QStringLiteral("This command is not available yet."),
                     sender ? std::optional<QString>(ItemTitle(sender)) : std::nullopt);
}

} // namespace

void AppController::selCopyImageOrPosterFrame(QAction* sender) {
    notAvailable(sender);
}
void AppController::selGetMovieInfo(QAction* sender) {
    notAvailable(sender);
}
void AppController::selClipToIcon(QAction* sender) {
    notAvailable(sender);
}
void AppController::selAddClipToIcon(QAction* sender) {
    notAvailable(sender);
}
void AppController::selAddWebIcon(QAction* sender) {
    notAvailable(sender);
}
void AppController::selRemoveCustomIcon(QAction* sender) {
    notAvailable(sender);
}
void AppController::selCreateImagesOfIcons(QAction* sender) {
    notAvailable(sender);
}
void AppController::selEmailItems(QAction* sender) {
    notAvailable(sender);
}
void AppController::selCombineFiles(QAction* sender) {
    notAvailable(sender);
}
void AppController::selShowCompletions(QAction* sender) {
    notAvailable(sender);
}
void AppController::selAddToAddressBook(QAction* sender) {
    notAvailable(sender);
}
void AppController::selBrowserItem(QAction* sender) {
    notAvailable(sender);
}
