// The command items below the header items, each under its condition, in menu order.
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "app/MenuItems.h"
#include "commands/clipboard/ClipboardText.h"
#include "commands/filenames/FilenameOperations.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "prefs/Preferences.h"
#include "scripts/ScriptRunner.h"

#include <QAction>
#include <QMenu>

namespace {

// The browsers offered for "Copy and Paste Title", in menu order.
const QString kBrowserNames[] = {QStringLiteral("Safari"), QStringLiteral("Google Chrome"),
                                 QStringLiteral("Flock"),  QStringLiteral("Firefox"),
                                 QStringLiteral("Opera"),  QStringLiteral("Camino"),
                                 QStringLiteral("OmniWeb")};

} // namespace

void AppController::addCopyImageOrPosterFrameMenuItem() {
    addCommandItem(QStringLiteral("Copy Image Or Movie Poster"),
                   VELMORA_SELECTOR(selCopyImageOrPosterFrame),
                   QStringLiteral("Copy the graphic image or movie poster frame of a selected item "
                                  "to the clipboard."),
                   QStringLiteral("ImageCopy32.tif"));
    addSeparator();
}

void AppController::addGetMovieInfoMenuItem() {
    addCommandItem(QStringLiteral("Get Movie Info"), VELMORA_SELECTOR(selGetMovieInfo),
                   QStringLiteral("Show movie info for each selected item, if available."),
                   QStringLiteral("MovieInfo32.tif"));
    addSeparator();
}

void AppController::addCustomIconsMenuItems() {
    if (gClipboardHasImage) {
        addCommandItem(QStringLiteral("Set Icons From Clipboard"), VELMORA_SELECTOR(selClipToIcon),
                       QStringLiteral("Set icons of selected items in the Finder from the "
                                      "clipboard image."),
                       QStringLiteral("ClipToIcon32.tif"));
        addCommandItem(QStringLiteral("Add Clipboard To Icon"), VELMORA_SELECTOR(selAddClipToIcon),
                       QStringLiteral("Overlay the scaled clipboard image on the icons of selected "
                                      "items in the Finder. Note that you can copy file icons to "
                                      "the clipboard using the Finder's contextual menu."),
                       QStringLiteral("AddClipToIcon32.tif"));
    }
    if (gFinderSelectionHasWebloc)
        addCommandItem(QStringLiteral("Set Icons From Web Location"),
                       VELMORA_SELECTOR(selAddWebIcon),
                       QStringLiteral("Add favicon to selected web location items in the Finder."),
                       QStringLiteral("AddWebIcon32.tif"));
    addCommandItem(QStringLiteral("Remove Custom Icons"), VELMORA_SELECTOR(selRemoveCustomIcon),
                   QStringLiteral("Remove custom icons of selected items in the Finder."),
                   QStringLiteral("RemoveCustomIcons32.tif"));
    addSeparator();
}

void AppController::addCreateImagesOfIconsMenuItem() {
    addCommandItem(
        QStringLiteral("Make Images From Icons"), VELMORA_SELECTOR(selCreateImagesOfIcons),
        QStringLiteral("Create images of the icons of one or more selected Finder items. "
                       "The generated size is always 512x512."),
        QStringLiteral("Icon2Image32.tif"));
    addSeparator();
}

void AppController::addFilenamesMenuItem() {
    QMenu* submenu = addSubmenuItem(
        QStringLiteral("Filenames"),
        QStringLiteral("Apply the selected operation to the filenames of the Finder selection. "
                       "Note that these operations are undoable by this app."),
        QStringLiteral("Filenames32.tif"));
    // Title and tool tip at once: the action recognises an operation by its tool tip. The
    // operations come in threes: extensions, the clipboard, case.
    const QStringList operations = FilenameOperationTitles();
    for (qsizetype n = 0; n < operations.size(); ++n) {
        if (n > 0 && n % 3 == 0)
            AppendSeparator(submenu);
        appendItem(submenu, operations[n], VELMORA_SELECTOR(selFilenamesItem), operations[n]);
    }
    addSeparator();
}

void AppController::addEmailItemsMenuItem() {
    addCommandItem(QStringLiteral("Email Items"), VELMORA_SELECTOR(selEmailItems),
                   QStringLiteral("Email the selected Finder items in Mail."),
                   QStringLiteral("EmailItems32.tif"));
    addSeparator();
}

void AppController::addCombineFilesMenuItem() {
    addCommandItem(QStringLiteral("Combine Files Into PDF"), VELMORA_SELECTOR(selCombineFiles),
                   QStringLiteral("Combine selected files into a PDF, autoconvertng files if "
                                  "necessary."),
                   QStringLiteral("CombineFiles32.tif"));
    addSeparator();
}

void AppController::addCompletionsMenuItem() {
    if (!ClipboardText(true))
        return;
    addCommandItem(QStringLiteral("List Completions"), VELMORA_SELECTOR(selShowCompletions),
                   QStringLiteral("Show word completions of clipboard text."),
                   QStringLiteral("ListCompletions32.tif"));
    addSeparator();
}

// Mail is asked for its selected senders at every opening; any answer shows the item.
void AppController::addAddToAddressBookMenuItem() {
    if (!RunScriptResource(QStringLiteral("Mail Sender.applescript"), ReverseOrder(), false, false,
                           true))
        return;
    addCommandItem(QStringLiteral("Add Senders to Address Book"),
                   VELMORA_SELECTOR(selAddToAddressBook),
                   QStringLiteral("Add the senders of selected messages in Mail to a new group in "
                                  "Address Book. The group name is of form \"Velmora "
                                  "[date-tim].\""),
                   QStringLiteral("AddToAddressBook32.tif"));
    addSeparator();
}

void AppController::addBrowsers() {
    QMenu* submenu = addSubmenuItem(QStringLiteral("Copy and Paste Title"),
                                    QStringLiteral("Copy the title of the selected browser and "
                                                   "paste it into the front app's active text "
                                                   "insertion point."),
                                    QStringLiteral("CopyTitle32.tif"));
    for (const QString& browser : kBrowserNames) {
        const auto path = platform::workspace().fullPathForApplication(browser);
        if (!path)
            continue;
        QAction* item =
            appendItem(submenu, browser, VELMORA_SELECTOR(selBrowserItem), std::nullopt);
        if (const auto icon = platform::workspace().iconForFile(*path))
            SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
    }
    addSeparator();
}
