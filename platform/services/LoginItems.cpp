#include "platform/services/LoginItems.h"

#include "platform/local/system/LoginItems.h"
#include "platform/services/Locations.h"

bool SMLoginItemEnabled() {
    return LoginItemEnabled(AutostartFolder(UserConfigHome()));
}

bool SMLoginItemSetEnabled(bool enabled, QString* error) {
    return SetLoginItemEnabled(AutostartFolder(UserConfigHome()),
                               HelperProgramPath(QStringLiteral("velmora")), enabled, error);
}
