// The command sections below the header items, in menu order: each builder appends its family's
// rows whose conditions hold.
#include "app/AppController.h"

#include "commands/browsers/BrowserCommands.h"
#include "commands/completions/CompletionCommands.h"
#include "commands/desktop/DesktopCommands.h"
#include "commands/filenames/FilenameCommands.h"
#include "commands/icons/IconCommands.h"
#include "commands/mail/MailCommands.h"
#include "commands/media/MediaCommands.h"
#include "commands/pdf/PdfCommands.h"

void AppController::addCopyImageOrPosterFrameMenuItem() {
    addRows(CopyImageOrPosterFrameRows());
}
void AppController::addGetMovieInfoMenuItem() {
    addRows(GetMovieInfoRows());
}
void AppController::addCustomIconsMenuItems() {
    addRows(CustomIconsRows());
}
void AppController::addCreateImagesOfIconsMenuItem() {
    addRows(CreateImagesOfIconsRows());
}
void AppController::addFilenamesMenuItem() {
    addRows(FilenamesRows());
}
void AppController::addEmailItemsMenuItem() {
    addRows(EmailItemsRows());
}
void AppController::addCombineFilesMenuItem() {
    addRows(CombineFilesRows());
}
void AppController::addCompletionsMenuItem() {
    addRows(CompletionsRows());
}
void AppController::addAddToAddressBookMenuItem() {
    addRows(AddToAddressBookRows());
}
void AppController::addDesktopPicturesMenuItems() {
    addRows(DesktopPicturesRows());
}
void AppController::addBrowsers() {
    addRows(BrowsersRows());
}
