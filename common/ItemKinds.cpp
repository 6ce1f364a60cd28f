#include "common/ItemKinds.h"

#include "common/ItemPaths.h"
#include "platform/local/documents/WebLocationFiles.h"
#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/GraphicsImporter.h"
#include "platform/local/media/Movies.h"
#include "platform/local/text/TextEncodings.h"

namespace {

bool hasFlags(const FSRef* item, UInt32 whichInfo, UInt32 set, UInt32 clear = 0) {
    LSItemInfoRecord info;
    if (LSCopyItemInfoForRef(item, whichInfo, &info) != noErr)
        return false;
    return (info.flags & set) == set && (info.flags & clear) == 0;
}

} // namespace

bool IsWeblocFile(const FSRef* ref) {
    QByteArray nameBytes;
    if (!ref || FSGetNameBytes(ref, &nameBytes) != noErr)
        return false;
    const auto name = DecodeUtf8Exactly(nameBytes);
    if (!name)
        return false;
    const auto start = ExtensionStartIndex(*name);
    if (start && name->mid(*start).compare(QLatin1String("webloc"), Qt::CaseInsensitive) == 0)
        return true;
    if (IsInternetShortcutName(*name))
        return true;
    // Most desktop entries start applications; only a link's entry is a web location, which
    // only its content tells.
    if (!IsDesktopEntryName(*name))
        return false;
    const auto path = stringWithFSRef(ref);
    return path && IsDesktopLinkFile(*path);
}

bool FSpIsGraphicsFile(const FSSpec* spec) {
    std::unique_ptr<GraphicsImporter> importer;
    return GetGraphicsImporterForFile(spec, &importer) == noErr && importer;
}

bool FSpIsMovieFile(const FSSpec* spec) {
    MovieFile file;
    if (OpenMovieFile(spec, &file, fsRdPerm) != noErr)
        return false;
    Movie movie;
    const OSErr status = NewMovieFromFile(&movie, file, newMovieActive);
    file.reset();
    return status == noErr && movie;
}

bool FSIsGraphicsFile(const FSRef* ref) {
    FSSpec spec;
    return FSRefMakeFSSpec(ref, &spec) == noErr && FSpIsGraphicsFile(&spec);
}

bool FSIsMovieFile(const FSRef* ref) {
    FSSpec spec;
    return FSRefMakeFSSpec(ref, &spec) == noErr && FSpIsMovieFile(&spec);
}

bool ItemIsPlainFolder(const FSRef* item) {
    return hasFlags(item, kLSRequestAllFlags, kLSItemInfoIsContainer, kLSItemInfoIsPackage);
}

bool ItemIsPlainFile(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsPlainFile);
}

bool ItemIsContainer(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsContainer);
}

bool ItemIsSymbolicLink(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsSymlink);
}

bool IsInvisible(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsInvisible);
}
