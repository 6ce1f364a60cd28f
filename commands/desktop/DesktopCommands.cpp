#include "commands/desktop/DesktopCommands.h"

#include "commands/desktop/DesktopPicture.h"
#include "common/Alerts.h"
#include "common/ImageScaling.h"
#include "common/ItemKinds.h"
#include "common/ItemPaths.h"
#include "common/MenuItems.h"
#include "common/SelectionResolution.h"
#include "platform/local/Files.h"
#include "platform/local/ReadOnlyFile.h"
#include "platform/services/Preferences.h"
#include "platform/services/Processes.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QPixmap>

namespace {

constexpr QSize kRecentPictureSize(64, 64);

bool selectionHasImage(const MenuContext& context) {
    return context.selectionHasImage;
}

bool lastPictureWasSaved(const MenuContext&) {
    CFPreferencesAppSynchronize(kApplicationIdentifier);
    return CFPreferencesCopyAppValue(kLastDesktopPicturePathKey, kApplicationIdentifier)
        .has_value();
}

// The picture at `path` fitted into 64 x 64. Only what that size needs is decoded: a photo of
// many megapixels is read at a fraction of its size where its format allows. A stored path may
// name anything by now; only a regular file is read.
std::optional<QImage> recentPicture(const QString& path) {
    const auto file = OpenRegularFile(path);
    if (!file)
        return std::nullopt;
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() &&
        (full.width() > kRecentPictureSize.width() || full.height() > kRecentPictureSize.height()))
        reader.setScaledSize(full.scaled(kRecentPictureSize, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return imageByScalingProportionallyToSize(image, kRecentPictureSize);
}

// Entries that are not texts name no file and get no item; they stay in the stored list.
void fillRecentPictures(QMenu* submenu, const QVariantList& paths) {
    for (const QVariant& entry : paths) {
        if (entry.typeId() != QMetaType::QString)
            continue;
        const QString path = entry.toString();
        QAction* item =
            AppendActionItem(submenu, QFileInfo(path).fileName(), "selRecentDesktopPicture:", path);
        if (const auto picture = recentPicture(path))
            SetItemImage(item, QIcon(QPixmap::fromImage(*picture)),
                         QStringLiteral("picture:64x64"));
    }
}

// The fixed rows of the submenu, each under its condition.
const CommandRow kDesktopPictureRows[] = {
    {.title = "Reveal Desktop Picture",
     .toolTip = "Show the desktop picture in the Finder.",
     .action = "selRevealDesktopPicture:"},
    {.title = "Set Desktop Picture",
     .toolTip = "Set the desktop picture to the selected graphic in the Finder.",
     .action = "selSetDesktopPicture:",
     .condition = selectionHasImage},
    {.title = "Reset Desktop Picture",
     .toolTip = "Restore the desktop picture to what it was before the last \"Set Desktop "
                "Picture\" command.",
     .action = "selResetDesktopPicture:",
     .condition = lastPictureWasSaved},
};

const CommandRow kClearRecentRow = {.title = "Clear Recent Desktop Pictures",
                                    .toolTip = "Clears the recent desktop pictures list.",
                                    .action = "selClearRecentDesktopPictures:"};

// The recent list is read once: both of its rows are there only when it is not empty.
void fillDesktopPictures(QMenu* submenu, const MenuContext& context) {
    const QVariantList recent = GetRecentPicturePaths();
    if (recent.isEmpty())
        return;
    AppendRow(submenu, kClearRecentRow, context);
    QAction* parent = AppendMenuItem(submenu, QStringLiteral("Recent Pictures"));
    QMenu* pictures = NewMenu(submenu);
    AttachSubmenu(parent, pictures);
    // The list has no length limit, and each item reads its picture: both wait for the user.
    FillSubmenuWhenShown(pictures, [recent](QMenu* menu) { fillRecentPictures(menu, recent); });
}

const CommandRow kDesktopPicturesRows[] = {
    {.title = "Desktop Pictures",
     .toolTip = "Select an operation to perform on the desktop picture.",
     .image = "DesktopPictures32.tif",
     .separatorAfter = true,
     .submenu = kDesktopPictureRows,
     .fill = fillDesktopPictures},
};

} // namespace

std::span<const CommandRow> DesktopPicturesRows() {
    return kDesktopPicturesRows;
}

void SetDesktopPictureFromSelection() {
    long count = 0;
    const auto chosen = SelectionForCommand(&count);
    if (!chosen)
        return;
    const AEDescList& selection = *chosen;
    FSRef ref;
    if (!ResolveSelectionItem(selection, 1, &ref) || FSIsFSRefValid(&ref) != noErr)
        return;
    const auto path = stringWithFSRef(&ref);
    if (!path)
        return;
    if (FSIsGraphicsFile(&ref))
        SetDesktopPictureToPath(*path);
    else
        ShowAlertMessage(QStringLiteral("You selected non-graphic file:"), *path);
}

void ClearRecentDesktopPictures() {
    SetFrontProcess(&kCurrentProcessPSN);
    if (ShowAlertMessageWithCancel(
            QStringLiteral("Are you sure you want to clear the recent desktop pictures list?"),
            QStringLiteral("This operation can not be undone.")) == 2)
        return;
    ClearRecentDesktopPaths();
}

void SetRecentDesktopPicture(QAction* sender) {
    if (const auto path = sender ? ItemToolTip(sender) : std::nullopt)
        SetDesktopPictureToPath(*path);
}
