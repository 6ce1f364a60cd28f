#include "platform/services/Finder.h"

#include "platform/local/files/Files.h"
#include "platform/services/Platform.h"
#include "platform/services/Processes.h"

#include <QThread>
#include <chrono>
#include <thread>

namespace {
constexpr SInt32 kIdleSleepTicks = 10;
constexpr auto kTick = std::chrono::microseconds(1'000'000 / 60);
} // namespace

Boolean MyAEIdleProc(EventRecord*, SInt32* sleepTime, RgnHandle* mouseRgn) {
    if (sleepTime)
        *sleepTime = kIdleSleepTicks;
    if (mouseRgn)
        *mouseRgn = nullptr;
    QThread::yieldCurrentThread();
    std::this_thread::sleep_for(kIdleSleepTicks * kTick);
    return false;
}

OSStatus AliasForPathSpecifier(const AEDesc& spec, AliasHandle* alias) {
    if (spec.data.isEmpty() || FSNewAliasForPath(spec.data, alias) != noErr)
        return errAENoSuchObject;
    return noErr;
}

OSStatus MoreFEGetSelection(AEIdleUPP idle, AEDescList* list) {
    if (!list)
        return paramErr;
    return platform::finder().getSelection(idle, list);
}

OSStatus MoreFEGetObjectAsAlias(const AEDesc* spec, AliasHandle* alias, AEIdleUPP idle) {
    if (!spec || !alias || spec->descriptorType != typeObjectSpecifier)
        return paramErr;
    ProcessSerialNumber psn;
    if (OSStatus status = MoreProcFindProcessBySignature(gFinderSignature, kFinderFileType, &psn);
        status != noErr)
        return status;
    return platform::finder().getObjectAsAlias(*spec, alias, idle);
}

OSStatus MoreFEUpdateItemFSRef(const FSRef* ref) {
    AliasHandle alias;
    if (OSStatus status = FSNewAlias(nullptr, ref, &alias); status != noErr)
        return status;
    ProcessSerialNumber psn;
    if (OSStatus status = MoreProcFindProcessBySignature(gFinderSignature, kFinderFileType, &psn);
        status != noErr)
        return status;
    return platform::finder().updateItemAlias(alias);
}
