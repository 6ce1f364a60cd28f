#include "commands/desktop/DesktopCommands.h"

#include "commands/desktop/DesktopPicture.h"
#include "common/AlertMessages.h"
#include "common/ImageScaling.h"
#include "common/ItemKinds.h"
#include "common/ItemPaths.h"
#include "common/MenuItems.h"
#include "common/SelectionResolution.h"
#include "platform/local/files/Files.h"
#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/media/MenuPictures.h"
#include "platform/local/media/Thumbnails.h"
#include "platform/services/Locations.h"
#include "platform/services/PreferenceCalls.h"
#include "platform/services/Processes.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"

#include <QAction>
#include <QCache>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMenu>
#include <QMimeDatabase>

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

// The recent list's pictures drawn at earlier openings, each kept while its file's stamp stays:
// reopening the list draws a screenful again without reading a thumbnail. A few screenfuls are
// kept (64 x 64 pictures: 16 KiB each).
constexpr int kRememberedRecentPictures = 512;

struct RememberedPicture {
    ItemStamp stamp;
    std::optional<QImage> picture;
};

// The picture at `path` fitted into 64 x 64, from the thumbnail the desktop shares: a photo is
// decoded once for Velmora and the file manager, and a thumbnail read after that.
std::optional<QImage> recentPicture(const QString& path) {
    static QCache<QString, RememberedPicture> remembered(kRememberedRecentPictures);
    FSRef ref;
    if (FSPathMakeRef(QFile::encodeName(path), &ref) != noErr)
        return std::nullopt;
    const auto made = FSRefRecordedItem(&ref);
    if (!made)
        return std::nullopt;
    if (const RememberedPicture* known = remembered.object(path);
        known && known->stamp == made->stamp)
        return known->picture;
    std::optional<QImage> picture;
    if (const auto thumbnail = platform::NormalThumbnail(path, UserCacheHome()))
        picture = imageByScalingProportionallyToSize(*thumbnail, kRecentPictureSize);
    remembered.insert(path, new RememberedPicture{made->stamp, picture});
    return picture;
}

// Whether the regular file at `path` is a picture: by its name's type when the name has one, so
// that a long list opens no file at all, else by its first bytes. A stored path may name
// anything by now; only a regular file is read.
bool isPicture(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    // A list of photos has a handful of extensions: each is looked up in the MIME database once.
    static const QMimeDatabase types;
    static QHash<QString, std::optional<bool>> pictureExtensions;
    const QString extension = info.suffix().toLower();
    if (!extension.isEmpty()) {
        auto known = pictureExtensions.constFind(extension);
        if (known == pictureExtensions.constEnd()) {
            const QMimeType type = types.mimeTypeForFile(QStringLiteral("name.") + extension,
                                                         QMimeDatabase::MatchExtension);
            known = pictureExtensions.insert(extension, type.isDefault()
                                                            ? std::optional<bool>()
                                                            : type.name().startsWith(u"image/"));
        }
        if (*known)
            return **known;
    }
    const auto file = OpenRegularFile(path);
    return file && QImageReader(file.get()).canRead();
}

// Entries that are not texts name no file and get no item; they stay in the stored list. The
// list has no length limit, so an item's picture is read only when the item is first drawn: of
// a thousand, the menu shows a screenful.
void fillRecentPictures(QMenu* submenu, const QVariantList& paths) {
    for (const QVariant& entry : paths) {
        if (entry.typeId() != QMetaType::QString)
            continue;
        const QString path = entry.toString();
        QAction* item =
            AppendActionItem(submenu, QFileInfo(path).fileName(), "selRecentDesktopPicture:", path);
        if (isPicture(path))
            SetItemImage(
                item,
                platform::MenuPicture(kRecentPictureSize, [path] { return recentPicture(path); }),
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
