#include "platform/Processes.h"

#include "platform/Platform.h"

OSStatus MoreProcFindProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) {
    if (!psn)
        return paramErr;
    return platform::processes().findProcessBySignature(creator, type, psn);
}
