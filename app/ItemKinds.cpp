#include "app/ItemKinds.h"

#include "app/ItemPaths.h"
#include "platform/ExtensionRule.h"
#include "platform/Files.h"
#include "platform/GraphicsImporter.h"
#include "platform/Movies.h"
#include "platform/TextEncodings.h"

bool IsWeblocFile(const FSRef* ref) {
    QByteArray nameBytes;
    if (!ref || FSGetNameBytes(ref, &nameBytes) != noErr)
        return false;
    const auto name = DecodeUtf8Exactly(nameBytes);
    if (!name)
        return false;
    const auto start = ExtensionStartIndex(*name);
    return start && name->mid(*start).compare(QLatin1String("webloc"), Qt::CaseInsensitive) == 0;
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
