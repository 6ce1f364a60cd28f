#include "commands/icons/ClipboardIcons.h"

#include "common/AlertMessages.h"
#include "common/ImageScaling.h"
#include "common/ItemPaths.h"
#include "common/SelectionResolution.h"
#include "platform/local/files/CustomIconStore.h"
#include "platform/local/files/Files.h"
#include "platform/services/PasteboardImage.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"

#include <QPainter>
#include <algorithm>

namespace {

const QString kNoClipboardImage =
    QStringLiteral("An image could not be created from the Clipboard.");

// None after the alert when the clipboard offers no picture; none, silently, when what it offers
// does not decode. A picture larger than `within` comes fitted into it.
std::optional<QImage> ClipboardImage(QSize within, bool* offered) {
    PasteboardRef pasteboard = nullptr;
    *offered = PasteboardCreate(kPasteboardClipboard, &pasteboard) == noErr &&
               ImageCanInitWithPasteboard(pasteboard);
    if (!*offered) {
        ShowAlertMessage(kNoClipboardImage, std::nullopt);
        return std::nullopt;
    }
    return ImageInitWithPasteboard(pasteboard, within);
}

} // namespace

void ForEachSelectedItem(const std::function<void(FSRef*)>& operation) {
    long count = 0;
    const auto selection = SelectionForCommand(&count);
    if (!selection)
        return;
    for (long index = 1; index <= count; ++index) {
        FSRef item;
        if (ResolveSelectionItem(*selection, index, &item) && FSIsFSRefValid(&item) == noErr)
            operation(&item);
    }
}

void ClipToIcon(FSRef* item) {
    bool offered = false;
    const auto image = ClipboardImage(QSize(kMaxCustomIconSide, kMaxCustomIconSide), &offered);
    if (!image)
        return;
    const auto path = stringWithFSRef(item);
    if (!path || !NSWorkspaceSetIconForFile(*image, *path))
        ShowAlertMessage(QStringLiteral("The clipboard image could not be copied to the file."),
                         std::nullopt);
}

int LargestRepresentationWidth(const QIcon& icon) {
    int widest = 0;
    for (const QSize& size : icon.availableSizes())
        widest = std::max(widest, size.width());
    return widest;
}

void AddClipToIcon(FSRef* item) {
    bool offered = false;
    const auto path = stringWithFSRef(item);
    const auto icon = path ? NSWorkspaceIconForFile(*path) : std::nullopt;
    // A side no desktop draws an icon at is not asked of the clipboard's picture.
    const int side = icon ? std::min(LargestRepresentationWidth(*icon), kMaxCustomIconSide) : 0;
    const auto image = ClipboardImage(QSize(std::max(side, 1), std::max(side, 1)), &offered);
    if (!image || !path || side < 1)
        return;
    const QSize square(side, side);
    const auto scaledIcon = imageByScalingProportionallyToSize(
        icon->pixmap(square).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
        square);
    const auto scaledClip = imageByScalingProportionallyToSize(*image, square);
    if (!scaledIcon || !scaledClip)
        return;
    QImage composed(square, QImage::Format_ARGB32_Premultiplied);
    composed.fill(Qt::transparent);
    {
        QPainter painter(&composed);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(0, 0, *scaledIcon);
        painter.drawImage(0, 0, *scaledClip);
    }
    if (!NSWorkspaceSetIconForFile(composed, *path))
        ShowAlertMessage(QStringLiteral("The clipboard image could not be added to the file icon."),
                         *path);
}

void SetIconsFromClipboardOfSelection() {
    ForEachSelectedItem(ClipToIcon);
}

void AddClipboardToIconsOfSelection() {
    ForEachSelectedItem(AddClipToIcon);
}

void RemoveCustomIconsOfSelection() {
    SetFrontProcess(&kCurrentProcessPSN);
    if (ShowAlertMessageWithCancel(
            QStringLiteral(
                "Are you sure you want to remove the custom icons of the selected items?"),
            QStringLiteral("This operation can not be undone.")) == 2)
        return;
    ForEachSelectedItem([](FSRef* item) {
        if (const auto path = stringWithFSRef(item))
            NSWorkspaceSetIconForFile(QImage(), *path);
    });
}
