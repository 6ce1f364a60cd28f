// The process list: which applications run, found by their creator code and file type.
#pragma once

#include "platform/MacTypes.h"

namespace platform {

class ProcessService {
public:
    virtual ~ProcessService() = default;
    // The first running process with this creator and type; procNotFound when none matches.
    virtual OSStatus findProcessBySignature(OSType creator, OSType type,
                                            ProcessSerialNumber* psn) = 0;
};

} // namespace platform

OSStatus MoreProcFindProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn);
