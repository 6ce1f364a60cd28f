// The process list: which applications run, which one is in front, and bringing one forward.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// The serial number that stands for the calling process itself.
constexpr UInt32 kCurrentProcess = 2;
constexpr ProcessSerialNumber kCurrentProcessPSN = {0, kCurrentProcess};

namespace platform {

class ProcessService {
public:
    virtual ~ProcessService() = default;
    // The first running process with this creator and type; procNotFound when none matches.
    virtual OSStatus findProcessBySignature(OSType creator, OSType type,
                                            ProcessSerialNumber* psn) = 0;
    // The application the user works in; procNotFound when the desktop cannot tell.
    virtual OSStatus frontProcess(ProcessSerialNumber* psn) = 0;
    virtual std::optional<QString> processName(const ProcessSerialNumber& psn) = 0;
    // Where the process's application lives, when it has a place on disk.
    virtual std::optional<QString> processBundleLocation(const ProcessSerialNumber& psn) = 0;
    virtual OSStatus setFrontProcess(const ProcessSerialNumber& psn) = 0;
    // Whether the desktop can hide every application but this one; some Wayland compositors
    // ignore a request to minimise a window.
    virtual bool canHideOthers(const ProcessSerialNumber&) { return true; }
};

} // namespace platform

OSStatus MoreProcFindProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn);
OSStatus GetFrontProcess(ProcessSerialNumber* psn);
OSStatus CopyProcessName(const ProcessSerialNumber* psn, QString* name);
OSStatus GetProcessBundleLocation(const ProcessSerialNumber* psn, FSRef* location);
OSStatus SetFrontProcess(const ProcessSerialNumber* psn);
bool CanHideOtherProcesses(const ProcessSerialNumber* psn);
