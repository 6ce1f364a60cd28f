// What kind of file a path names: whether it is a text document, and its MIME type.
//
//   the client signature        GetOurSignature
//   the system's mapping table  CInternetConfig, read once at launch into gSuffixMap by
//                               InitializeSuffixMap
//   the questions               MimeTypeForPath, UTIForPath, FileIsText, MapFSRefToMimeType
//
// Type identifiers are shared-mime-info types matched by the file name's extension alone
// (platform/local/documents/TypeIdentifiers.h says how the Mac's identifiers map onto them). The
// mapping table answers only for extensions shared-mime-info does not know, only for files that
// exist, and only for the extension spelled exactly as the table spells it.
#pragma once

#include "foundation/CMap.h"
#include "foundation/CString256.h"
#include "platform/services/InternetConfig.h"
#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// The application's signature from its information dictionary, the first of its characters
// the most significant byte; 0 when it has none.
OSType GetOurSignature();

// One connection to Internet Config, to walk the system's file mapping entries.
class CInternetConfig {
public:
    explicit CInternetConfig(unsigned long signature);
    virtual ~CInternetConfig();
    CInternetConfig(const CInternetConfig&) = delete;
    CInternetConfig& operator=(const CInternetConfig&) = delete;

    // Connects; the FSSpec argument is ignored.
    OSStatus Start(FSSpec* spec);
    // Opens the mapping for reading from its first entry; -1 when not started.
    OSStatus StartMapIteration();
    // The next entry; false once they run out, or when no mapping is open.
    bool NextMapEntry(ICMapEntry* entry);
    // Closes the mapping; -1 when none is open.
    OSStatus FinishMapIteration();
    OSStatus Stop();

private:
    ICInstance m_instance = nullptr;
    bool m_started = false;
    ICMapHandle m_mapping;
    long m_count = 0;
    long m_next = 1;
    unsigned long m_signature;
};

// Extension with its dot, case kept → the last mapping entry for it.
extern CMap<CString256, ICMapEntry> gSuffixMap;

// Fills gSuffixMap from the system's mapping table; the last entry for an extension wins.
void InitializeSuffixMap();

// The MIME type of the file by its extension in gSuffixMap alone; false when the extension is
// not there in exactly that case, or the file has none.
bool MapFSRefToMimeType(FSRef& ref, CString256& mimeType);

// The MIME type of the file at the path: shared-mime-info's for the extension, without
// touching the file; else the mapping table's, when the file exists; else none.
std::optional<QString> MimeTypeForPath(const QString& path);

// The type identifier of the path's extension; none without one.
std::optional<QString> UTIForPath(const QString& path);

// True when the path's type is rich text, plain text, any other text, or a mail message.
bool FileIsText(const QString& path);
