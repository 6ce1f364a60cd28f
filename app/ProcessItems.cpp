// The front application's header item, and hiding the other applications.
#include "app/AppController.h"
#include "app/ItemPaths.h"
#include "app/MenuItems.h"
#include "platform/Platform.h"
#include "platform/Processes.h"
#include "platform/Workspace.h"
#include "scripts/ScriptRunner.h"

#include <QAction>

bool AppController::addProcessNameMenuItem() {
    ProcessSerialNumber front;
    if (GetFrontProcess(&front) != noErr)
        return false;
    QString name;
    if (CopyProcessName(&front, &name) != noErr)
        return false;
    QAction* item =
        addMenuItem(QStringLiteral("Front App: %1").arg(name), VELMORA_SELECTOR(selProcess),
                    QStringLiteral("Select to \"Hide Others\""));
    FSRef bundle;
    if (GetProcessBundleLocation(&front, &bundle) == noErr) {
        if (const auto path = stringWithFSRef(&bundle)) {
            if (const auto icon = platform::workspace().iconForFile(*path))
                SetItemImage(item, *icon, QStringLiteral("icon:") + *path);
        }
    }
    addSeparator();
    return name == QLatin1String("Mail");
}

void AppController::selProcess(QAction*) {
    RunScriptResource2(QStringLiteral("Hide.applescript"), std::nullopt, QString());
}
