// The front application's header item, and hiding the other applications.
#include "app/AppController.h"
#include "common/ItemPaths.h"
#include "common/MenuItems.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"
#include "scripts/ScriptRunner.h"

#include <QAction>

bool AppController::addProcessNameMenuItem() {
    ProcessSerialNumber front;
    if (GetFrontProcess(&front) != noErr)
        return false;
    QString name;
    if (CopyProcessName(&front, &name) != noErr)
        return false;
    // Where the desktop cannot hide the other applications, the item only names the front one.
    const QString title = QStringLiteral("Front App: %1").arg(name);
    QAction* item =
        CanHideOtherProcesses(&front)
            ? addMenuItem(title, "selProcess:", QStringLiteral("Select to \"Hide Others\""))
            : addLabel(title);
    FSRef bundle;
    if (GetProcessBundleLocation(&front, &bundle) == noErr) {
        if (const auto path = stringWithFSRef(&bundle)) {
            if (const auto icon = NSWorkspaceIconForFile(*path))
                SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
        }
    }
    addSeparator();
    m_context.frontApplication = name;
    return name == QLatin1String("Mail");
}

void AppController::selProcess(QAction*) {
    RunScriptResource2(QStringLiteral("Hide.applescript"), std::nullopt, QString());
}
