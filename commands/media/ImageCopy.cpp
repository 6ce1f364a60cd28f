#include "commands/media/ImageCopy.h"

#include "commands/media/Exporters.h"
#include "common/AlertMessages.h"
#include "common/ItemKinds.h"
#include "common/ItemPaths.h"
#include "common/SelectionResolution.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/GraphicsExport.h"
#include "platform/local/media/GraphicsImporter.h"
#include "platform/local/media/Movies.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/Sounds.h"

#include <QImage>

namespace {

// The picture of a graphics file, or else the poster frame of a movie.
std::optional<QImage> pictureOf(const FSSpec& spec) {
    std::unique_ptr<GraphicsImporter> importer;
    if (GetGraphicsImporterForFile(&spec, &importer) == noErr)
        return GraphicsImportGetImage(*importer);
    MovieFile file;
    if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr)
        return std::nullopt;
    Movie movie;
    const OSErr made = NewMovieFromFile(&movie, file, newMovieActive);
    file.reset();
    if (made != noErr)
        return std::nullopt;
    return GetMoviePosterImage(movie);
}

} // namespace

bool DoImageCopy(const FSRef* item, const QString& extension, const QString& flavor) {
    FSSpec spec;
    if (FSRefMakeFSSpec(item, &spec) != noErr)
        return false;
    OSType type = 0;
    if (!GetTypeForExtension(extension, &type))
        return false;
    const auto picture = pictureOf(spec);
    if (!picture)
        return false;
    const auto exported = GraphicsExportImage(*picture, type, codecMaxQuality);
    if (!exported)
        return false;
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) != noErr)
        return false;
    PasteboardClear(pasteboard);
    if (!(PasteboardSynchronize(pasteboard) & kPasteboardClientIsOwner))
        return false;
    if (PasteboardPutItemFlavor(pasteboard, 1, flavor, *exported, kPasteboardFlavorNoFlags) !=
        noErr)
        return false;
    PlaySoundNamed(QStringLiteral("Ping"));
    return true;
}

void CopyImageOrPosterFrameOfSelection() {
    long count = 0;
    const auto chosen = SelectionForCommand(&count);
    if (!chosen)
        return;
    const AEDescList& selection = *chosen;
    for (long index = 1; index <= count; ++index) {
        FSRef ref;
        if (!ResolveSelectionItem(selection, index, &ref) || FSIsFSRefValid(&ref) != noErr)
            continue;
        const QString path = stringWithFSRef(&ref).value_or(QString());
        const bool graphic = FSIsGraphicsFile(&ref);
        const bool movie = FSIsMovieFile(&ref);
        if (!graphic && !movie)
            ShowAlertMessage(QStringLiteral("You selected non-graphic file:"), path);
        else if (!DoImageCopy(&ref, QStringLiteral("png"), kUTTypePNG))
            ShowAlertMessage(QStringLiteral("The graphic file was not put on the clipboard:"),
                             path);
    }
}
