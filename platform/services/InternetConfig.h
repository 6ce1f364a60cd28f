// Internet Config: the system's file mapping preference, one entry per file name extension
// with its MIME type. Here the preference is the desktop's mapping table (/etc/mime.types on
// Linux), read when the preferences are opened.
#pragma once

#include "platform/local/documents/MimeMappingTable.h"
#include "platform/types/MacTypes.h"

#include <memory>
#include <vector>

struct ICConnection;
using ICInstance = ICConnection*;
using ICPerm = UInt8;
using ICAttr = UInt32;
using ICMapHandle = std::unique_ptr<std::vector<ICMapEntry>>;

enum : ICPerm { icNoPerm = 0, icReadOnlyPerm = 1 };
enum : OSStatus { icPrefNotFoundErr = -666, icNoPrefErr = -667 };

// The key of the mapping preference, a Pascal string.
inline constexpr unsigned char kICMapping[] = "\aMapping";

OSStatus ICStart(ICInstance* instance, OSType signature);
OSStatus ICStop(ICInstance instance);
// Opens the preferences; the mapping table is read now.
OSStatus ICBegin(ICInstance instance, ICPerm perm);
OSStatus ICEnd(ICInstance instance);
// A copy of the preference named `key`; icPrefNotFoundErr for any key but the mapping, and when
// the table could not be read.
OSStatus ICGetPrefHandle(ICInstance instance, const unsigned char* key, ICAttr* attr,
                         ICMapHandle* handle);
OSStatus ICCountMapEntries(ICInstance instance, const ICMapHandle& entries, long* count);
// Entry `index` (1-based) of the mapping; `position` gets where it starts.
OSStatus ICGetIndMapEntry(ICInstance instance, const ICMapHandle& entries, long index,
                          long* position, ICMapEntry* entry);
