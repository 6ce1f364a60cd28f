#include "platform/services/InternetConfig.h"

#include "platform/services/Locations.h"
#include "platform/services/Platform.h"

#include <cstring>
#include <optional>

struct ICConnection {
    OSType signature = 0;
    std::optional<std::vector<ICMapEntry>> mapping; // while the preferences are open
};

OSStatus ICStart(ICInstance* instance, OSType signature) {
    if (!instance)
        return paramErr;
    *instance = new ICConnection{signature, std::nullopt};
    return noErr;
}

OSStatus ICStop(ICInstance instance) {
    delete instance;
    return noErr;
}

OSStatus ICBegin(ICInstance instance, ICPerm perm) {
    if (!instance || perm != icReadOnlyPerm)
        return paramErr;
    instance->mapping = ReadMimeMappingTable(platform::locations().fileMappingTable());
    return noErr;
}

OSStatus ICEnd(ICInstance instance) {
    if (!instance)
        return paramErr;
    instance->mapping.reset();
    return noErr;
}

OSStatus ICGetPrefHandle(ICInstance instance, const unsigned char* key, ICAttr* attr,
                         ICMapHandle* handle) {
    if (!instance || !key || !handle)
        return paramErr;
    if (!instance->mapping)
        return icNoPrefErr;
    if (std::memcmp(key, kICMapping, kICMapping[0] + 1) != 0 || instance->mapping->empty())
        return icPrefNotFoundErr;
    if (attr)
        *attr = 0;
    *handle = std::make_unique<std::vector<ICMapEntry>>(*instance->mapping);
    return noErr;
}

OSStatus ICCountMapEntries(ICInstance instance, const ICMapHandle& entries, long* count) {
    if (!instance || !entries || !count)
        return paramErr;
    *count = long(entries->size());
    return noErr;
}

OSStatus ICGetIndMapEntry(ICInstance instance, const ICMapHandle& entries, long index,
                          long* position, ICMapEntry* entry) {
    if (!instance || !entries || !entry || index < 1 || index > long(entries->size()))
        return paramErr;
    if (position)
        *position = (index - 1) * long(sizeof(ICMapEntry));
    *entry = (*entries)[size_t(index - 1)];
    return noErr;
}
