// The controller's actions. Each hands the chosen item to its command family; a command whose
// family is not built yet says so, from one place.
#include "app/AppController.h"

#include "commands/browsers/BrowserCommands.h"
#include "commands/completions/Completions.h"
#include "commands/desktop/DesktopCommands.h"
#include "commands/desktop/DesktopPicture.h"
#include "commands/filenames/FilenameCommands.h"
#include "commands/icons/ClipboardIcons.h"
#include "commands/icons/IconImages.h"
#include "commands/icons/WebIcons.h"
#include "commands/mail/EmailItems.h"
#include "commands/mail/MailSenders.h"
#include "commands/media/ImageCopy.h"
#include "commands/media/MovieInfo.h"
#include "commands/pdf/CombineFiles.h"

#include <QAction>
#include <QHash>

#define VELMORA_ACTION(name)                                                                       \
    { QStringLiteral(#name ":"), &AppController::name }

AppController::CommandHandler AppController::actionNamed(const QString& name) {
    static const QHash<QString, CommandHandler> actions = {
        VELMORA_ACTION(selItemQuit),
        VELMORA_ACTION(selFirstSelectedFinderItem),
        VELMORA_ACTION(selProcess),
        VELMORA_ACTION(selClipboardImagePreviewItem),
        VELMORA_ACTION(selRevealDesktopPicture),
        VELMORA_ACTION(selSetDesktopPicture),
        VELMORA_ACTION(selResetDesktopPicture),
        VELMORA_ACTION(selClearRecentDesktopPictures),
        VELMORA_ACTION(selRecentDesktopPicture),
        VELMORA_ACTION(selCopyImageOrPosterFrame),
        VELMORA_ACTION(selGetMovieInfo),
        VELMORA_ACTION(selClipToIcon),
        VELMORA_ACTION(selAddClipToIcon),
        VELMORA_ACTION(selAddWebIcon),
        VELMORA_ACTION(selRemoveCustomIcon),
        VELMORA_ACTION(selCreateImagesOfIcons),
        VELMORA_ACTION(selFilenamesItem),
        VELMORA_ACTION(selEmailItems),
        VELMORA_ACTION(selCombineFiles),
        VELMORA_ACTION(selShowCompletions),
        VELMORA_ACTION(selAddToAddressBook),
        VELMORA_ACTION(selBrowserItem),
    };
    return actions.value(name, nullptr);
}

#undef VELMORA_ACTION

void AppController::selRevealDesktopPicture(QAction*) {
    DoRevealDesktopPictureFile();
}
void AppController::selSetDesktopPicture(QAction*) {
    SetDesktopPictureFromSelection();
}
void AppController::selResetDesktopPicture(QAction*) {
    DoResetDesktopPicture();
}
void AppController::selClearRecentDesktopPictures(QAction*) {
    ClearRecentDesktopPictures();
}
void AppController::selRecentDesktopPicture(QAction* sender) {
    SetRecentDesktopPicture(sender);
}
void AppController::selFilenamesItem(QAction* sender) {
    ApplyChosenFilenameOperation(sender);
}

void AppController::selCopyImageOrPosterFrame(QAction*) {
    CopyImageOrPosterFrameOfSelection();
}
void AppController::selGetMovieInfo(QAction*) {
    ShowMovieInfoOfSelection(textWindow());
}
void AppController::selClipToIcon(QAction*) {
    SetIconsFromClipboardOfSelection();
}
void AppController::selAddClipToIcon(QAction*) {
    AddClipboardToIconsOfSelection();
}
void AppController::selAddWebIcon(QAction*) {
    SetIconsFromWebLocationsOfSelection();
}
void AppController::selRemoveCustomIcon(QAction*) {
    RemoveCustomIconsOfSelection();
}
void AppController::selCreateImagesOfIcons(QAction*) {
    CreateImagesOfIconsOfSelection();
}
void AppController::selEmailItems(QAction*) {
    EmailItemsOfSelection();
}
void AppController::selCombineFiles(QAction*) {
    CombineFilesOfSelection();
}
void AppController::selShowCompletions(QAction*) {
    ShowCompletions(textWindow());
}
void AppController::selAddToAddressBook(QAction*) {
    AddSendersToAddressBook();
}
void AppController::selBrowserItem(QAction* sender) {
    SelectBrowserItem(sender);
}
