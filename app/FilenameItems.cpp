// The action of the Filenames submenu: the chosen item's tool tip names the operation.
#include "app/AppController.h"
#include "app/MenuItems.h"
#include "commands/filenames/FilenameOperations.h"

#include <QAction>

void AppController::selFilenamesItem(QAction* sender) {
    const QString toolTip = sender ? ItemToolTip(sender).value_or(QString()) : QString();
    const QStringList selection = getFinderSelection();
    if (selection.isEmpty())
        return;
    const long code = FilenameOperationCode(toolTip);
    if (code == 0)
        return;
    ApplyFilenameOperation(selection, code);
}
