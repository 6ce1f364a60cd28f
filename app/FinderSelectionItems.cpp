// The Finder-selection header at the top of the menu, the three Finder flags, and the
// selection as a list of paths.
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "app/ItemKinds.h"
#include "app/ItemNames.h"
#include "app/ItemPaths.h"
#include "app/MenuItems.h"
#include "app/SelectionResolution.h"
#include "platform/Finder.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"

#include <QAction>

namespace {

// The selection list when the Finder reported a non-empty one.
std::optional<AEDescList> currentSelection(long* count) {
    AEDescList selection;
    if (MoreFEGetSelection(MyAEIdleProc, &selection) != noErr ||
        selection.descriptorType != typeAEList || AECountItems(&selection, count) != noErr ||
        *count <= 0)
        return std::nullopt;
    return selection;
}

} // namespace

bool AppController::addFinderSelectionMenuItem() {
    long count = 0;
    const auto selection = currentSelection(&count);
    if (selection) {
        FSRef first;
        std::optional<QString> name;
        std::optional<QString> path;
        if (ResolveSelectionItem(*selection, 1, &first)) {
            name = GetObjectDisplayName(&first);
            path = stringWithFSRef(&first);
        }
        if (name) {
            const QString title =
                QStringLiteral("%1 %2, First item: %3")
                    .arg(QString::number(count),
                         count == 1 ? QStringLiteral("Item") : QStringLiteral("Items"), *name);
            QAction* item = addMenuItem(title, VELMORA_SELECTOR(selFirstSelectedFinderItem),
                                        QStringLiteral("Select this item to open the file."));
            if (path) {
                item->setData(*path);
                if (auto icon = platform::workspace().iconForFile(*path))
                    SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
            }
            addSeparator();
            return true;
        }
    }
    addLabel(QStringLiteral("The Finder has no active selection"));
    addSeparator();
    return selection.has_value();
}

QStringList AppController::getFinderSelection() {
    QStringList paths;
    long count = 0;
    const auto selection = currentSelection(&count);
    if (!selection)
        return paths;
    for (long n = 1; n <= count; ++n) {
        FSRef ref;
        if (!ResolveSelectionItem(*selection, n, &ref))
            continue;
        if (auto path = stringWithFSRef(&ref))
            paths.append(*path);
    }
    return paths;
}

void AppController::checkSelectionForImagesAndMoviesAndWeblocs() {
    gFinderSelectionHasMovie = false;
    gFinderSelectionHasImage = false;
    gFinderSelectionHasWebloc = false;
    for (const QString& path : getFinderSelection()) {
        FSRef ref;
        if (!getFSRef(path, &ref))
            continue;
        if (!gFinderSelectionHasMovie)
            gFinderSelectionHasMovie = FSIsMovieFile(&ref);
        if (!gFinderSelectionHasImage)
            gFinderSelectionHasImage = FSIsGraphicsFile(&ref);
        if (!gFinderSelectionHasWebloc)
            gFinderSelectionHasWebloc = IsWeblocFile(&ref);
        if (gFinderSelectionHasMovie && gFinderSelectionHasImage && gFinderSelectionHasWebloc)
            break;
    }
}

void AppController::selFirstSelectedFinderItem(QAction* sender) {
    const QString path = sender ? sender->data().toString() : QString();
    if (!path.isEmpty())
        platform::workspace().openFile(path);
}
