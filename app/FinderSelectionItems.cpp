// The Finder-selection header at the top of the menu, the three Finder flags, and the
// selection as a list of paths.
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "common/ItemKinds.h"
#include "common/ItemNames.h"
#include "common/ItemPaths.h"
#include "common/MenuItems.h"
#include "common/SelectionKinds.h"
#include "common/SelectionResolution.h"
#include "platform/services/Workspace.h"

#include <QAction>

bool AppController::addFinderSelectionMenuItem() {
    long count = 0;
    const auto selection = CurrentFinderSelection(&count);
    // Read once and each element resolved once for the whole opening: the kind probes below
    // work on what this found.
    m_selection.clear();
    if (selection) {
        m_selection.reserve(size_t(count));
        for (long n = 1; n <= count; ++n) {
            FSRef ref;
            m_selection.push_back(ResolveSelectionItem(*selection, n, &ref) ? std::optional(ref)
                                                                            : std::nullopt);
        }
    }
    if (selection) {
        std::optional<QString> name;
        std::optional<QString> path;
        if (!m_selection.empty() && m_selection.front()) {
            const FSRef first = *m_selection.front();
            name = GetObjectDisplayName(&first);
            path = stringWithFSRef(&first);
        }
        if (name) {
            const QString title =
                QStringLiteral("%1 %2, First item: %3")
                    .arg(QString::number(count),
                         count == 1 ? QStringLiteral("Item") : QStringLiteral("Items"), *name);
            QAction* item = addMenuItem(title, "selFirstSelectedFinderItem:",
                                        QStringLiteral("Select this item to open the file."));
            if (path) {
                item->setData(*path);
                if (auto icon = NSWorkspaceIconForFile(*path))
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
    return FinderSelectionPaths();
}

void AppController::checkSelectionForImagesAndMoviesAndWeblocs() {
    const SelectionKindFlags flags = m_selectionKinds.flagsOf(m_selection);
    gFinderSelectionHasMovie = flags.movie;
    gFinderSelectionHasImage = flags.picture;
    gFinderSelectionHasWebloc = flags.webloc;
}

void AppController::selFirstSelectedFinderItem(QAction* sender) {
    const QString path = sender ? sender->data().toString() : QString();
    if (!path.isEmpty())
        NSWorkspaceOpenFile(path);
}
