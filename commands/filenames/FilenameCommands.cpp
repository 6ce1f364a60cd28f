#include "commands/filenames/FilenameCommands.h"

#include "commands/filenames/FilenameOperations.h"
#include "common/MenuItems.h"
#include "common/SelectionResolution.h"

#include <QMenu>

namespace {

// Title and tool tip at once: the action recognises an operation by its tool tip.
void fillOperations(QMenu* submenu, const MenuContext&) {
    const QStringList operations = FilenameOperationTitles();
    for (qsizetype n = 0; n < operations.size(); ++n) {
        if (n > 0 && n % 3 == 0)
            AppendSeparator(submenu);
        AppendActionItem(submenu, operations[n], "selFilenamesItem:", operations[n]);
    }
}

const CommandRow kFilenamesRows[] = {
    {.title = "Filenames",
     .toolTip = "Apply the selected operation to the filenames of the Finder selection. Note that "
                "these operations are undoable by this app.",
     .image = "Filenames32.tif",
     .condition = HasSelection,
     .separatorAfter = true,
     .fill = fillOperations},
};

} // namespace

std::span<const CommandRow> FilenamesRows() {
    return kFilenamesRows;
}

void ApplyChosenFilenameOperation(QAction* sender) {
    const QString toolTip = sender ? ItemToolTip(sender).value_or(QString()) : QString();
    const QStringList selection = FinderSelectionPaths();
    if (selection.isEmpty())
        return;
    const long code = FilenameOperationCode(toolTip);
    if (code == 0)
        return;
    ApplyFilenameOperation(selection, code);
}
