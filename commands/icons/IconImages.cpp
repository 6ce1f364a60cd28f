#include "commands/icons/IconImages.h"

#include "common/AlertMessages.h"
#include "common/ImageScaling.h"
#include "common/ItemNames.h"
#include "common/ItemPaths.h"
#include "common/SelectionResolution.h"
#include "common/UniqueNames.h"
#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/GraphicsExport.h"
#include "platform/local/media/IconFamily.h"
#include "platform/services/AlertService.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kIconImageSide = 512;
constexpr OSType kPngExportType = FOUR_CHAR_CODE("PNGf");

void Alert(const char* message) {
    ShowAlertMessage(QString::fromLatin1(message), std::nullopt);
}

// The largest picture of an icon family file, or none.
std::optional<QImage> IconFamilyPicture(const QString& path) {
    const std::vector<QImage> images = ReadIconFamilyFile(path);
    const auto largest = std::max_element(images.begin(), images.end(), [](auto& a, auto& b) {
        return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
    });
    if (largest == images.end())
        return std::nullopt;
    return *largest;
}

// The icon as the file manager shows it, at `side` pixels or at its largest below that.
std::optional<QImage> ShownIconPicture(const QString& path, int side) {
    const auto icon = NSWorkspaceIconForFile(path);
    if (!icon)
        return std::nullopt;
    const QImage picture = icon->pixmap(QSize(side, side)).toImage();
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

} // namespace

std::optional<QImage> MyCreateBitmapContext(int width, int height) {
    if (width < 1 || height < 1)
        return std::nullopt;
    QImage buffer(width, height, QImage::Format_RGBA8888_Premultiplied);
    if (buffer.isNull())
        return std::nullopt;
    buffer.fill(Qt::transparent);
    return buffer;
}

void Icon2Image(FSRef* item, OSType fileType, int size, FSSpec* output) {
    auto buffer = MyCreateBitmapContext(size, size);
    const auto path = stringWithFSRef(item);
    if (!buffer || !path)
        return;
    const bool iconFamily =
        QFileInfo(*path).suffix().compare(QLatin1String("icns"), Qt::CaseInsensitive) == 0;
    const auto picture = iconFamily ? IconFamilyPicture(*path) : ShownIconPicture(*path, size);
    if (!picture) {
        Alert("Icon2Image: An error occurred loading the icon data.");
        return;
    }
    // Drawn into the whole square, as icons are: a smaller representation is scaled up.
    const auto fitted = imageByScalingProportionallyToSize(*picture, QSize(size, size));
    if (fitted) {
        QPainter painter(&*buffer);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(0, 0, *fitted);
    }
    const auto encoded = GraphicsExportImage(*buffer, fileType, codecMaxQuality);
    const auto outputPath = stringWithFSRef(&output->ref);
    if (!encoded || !outputPath)
        return;
    // A picture cut short by a full disk must not reach the destination as if it were whole:
    // the empty output file made for it is taken away instead, so nothing is moved.
    if (!platform::WriteFileAtomically(*outputPath, *encoded) ||
        FSPathMakeRef(QFile::encodeName(*outputPath), &output->ref) != noErr) {
        FSDeleteObject(&output->ref);
        Alert("The image output file could not be written.");
        return;
    }
    const QImage written(*outputPath);
    if (written.isNull())
        return;
    if (!NSWorkspaceSetIconForFile(written, *outputPath))
        Alert("The files graphic image could not be copied to the file.");
}

bool ChooseFolder(FSRef* chosen, const char* message) {
    const auto folder = RunChooseFolderDialog(QStringLiteral("Choose"), QStringLiteral("Choose"),
                                              QString::fromUtf8(message));
    return folder && getFSRef(*folder, chosen);
}

OSStatus LaunchFSRef(const FSRef* item) {
    const auto path = stringWithFSRef(item);
    if (!path)
        return fnfErr;
    return NSWorkspaceOpenFile(*path) ? noErr : kLSApplicationNotFoundErr;
}

void CreateImagesOfIconsOfSelection() {
    long count = 0;
    const auto selection = SelectionForCommand(&count);
    if (!selection)
        return;
    SetFrontProcess(&kCurrentProcessPSN);
    FSRef destination;
    if (!ChooseFolder(&destination, "Choose a destination folder for the images."))
        return;
    bool arrived = false;
    for (long index = 1; index <= count; ++index) {
        FSRef item;
        if (!ResolveSelectionItem(*selection, index, &item) || FSIsFSRefValid(&item) != noErr)
            continue;
        const auto name = GetObjectName(&item);
        if (!name)
            continue;
        const auto temporary = TemporaryItemsFolderPath();
        if (!temporary) {
            Alert("The temporary output directory could not be created.");
            continue;
        }
        FSRef folder;
        if (!getFSRef(*temporary, &folder)) {
            Alert("The temporary output directory could not be referenced.");
            continue;
        }
        FSSpec output;
        if (MakeOutputFile(QStringLiteral("%1.png").arg(*name), &folder, &output) != noErr) {
            Alert("The temporary output file could not be made.");
            continue;
        }
        Icon2Image(&item, kPngExportType, kIconImageSide, &output);
        FSRef copy;
        if (FSIsFSRefValid(&output.ref) != noErr)
            continue;
        if (MoveObjectRef3(&output.ref, &destination, &copy) != noErr) {
            Alert("The image output file could not be moved to the destination folder.");
            continue;
        }
        arrived = true;
    }
    if (arrived)
        LaunchFSRef(&destination);
}
