#include "platform/services/Processes.h"

#include "platform/local/files/Files.h"
#include "platform/services/Platform.h"

#include <QFile>

OSStatus MoreProcFindProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) {
    if (!psn)
        return paramErr;
    return platform::processes().findProcessBySignature(creator, type, psn);
}

OSStatus GetFrontProcess(ProcessSerialNumber* psn) {
    if (!psn)
        return paramErr;
    return platform::processes().frontProcess(psn);
}

OSStatus CopyProcessName(const ProcessSerialNumber* psn, QString* name) {
    if (!psn || !name)
        return paramErr;
    const auto found = platform::processes().processName(*psn);
    if (!found)
        return procNotFound;
    *name = *found;
    return noErr;
}

OSStatus GetProcessBundleLocation(const ProcessSerialNumber* psn, FSRef* location) {
    if (!psn || !location)
        return paramErr;
    const auto path = platform::processes().processBundleLocation(*psn);
    if (!path)
        return fnfErr;
    return FSPathMakeRef(QFile::encodeName(*path), location);
}

OSStatus SetFrontProcess(const ProcessSerialNumber* psn) {
    if (!psn)
        return paramErr;
    return platform::processes().setFrontProcess(*psn);
}

bool CanHideOtherProcesses(const ProcessSerialNumber* psn) {
    return psn && platform::processes().canHideOthers(*psn);
}
