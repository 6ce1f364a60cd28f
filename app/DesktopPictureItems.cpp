// The "Desktop Pictures" submenu and its five actions.
#include "app/Alerts.h"
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "app/ImageScaling.h"
#include "app/ItemKinds.h"
#include "app/ItemPaths.h"
#include "app/MenuItems.h"
#include "app/SelectionResolution.h"
#include "commands/desktop/DesktopPicture.h"
#include "platform/Files.h"
#include "platform/Finder.h"
#include "platform/Preferences.h"
#include "platform/Processes.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"

#include <QAction>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QPixmap>

namespace {

constexpr QSize kRecentPictureSize(64, 64);

// The picture at `path` fitted into 64 x 64. Only what that size needs is decoded: a photo of
// many megapixels is read at a fraction of its size where its format allows.
std::optional<QImage> recentPicture(const QString& path) {
    QImageReader reader(path);
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

} // namespace

void AppController::addDesktopPicturesMenuItems() {
    QMenu* submenu =
        addSubmenuItem(QStringLiteral("Desktop Pictures"),
                       QStringLiteral("Select an operation to perform on the desktop picture."),
                       QStringLiteral("DesktopPictures32.tif"));
    const QVariantList recent = GetRecentPicturePaths();
    for (QAction* item :
         {addRevealDesktopPictureMenuItem(), addSetDesktopPictureMenuItem(),
          addResetDesktopPictureMenuItem(),
          recent.isEmpty()
              ? nullptr
              : addMenuItem(QStringLiteral("Clear Recent Desktop Pictures"),
                            VELMORA_SELECTOR(selClearRecentDesktopPictures),
                            QStringLiteral("Clears the recent desktop pictures list.")),
          addRecentDesktopPicturesMenuItem(recent)}) {
        if (!item)
            continue;
        // The submenu takes ownership too, so that the item goes when the submenu does.
        m_menu->removeAction(item);
        item->setParent(submenu);
        submenu->addAction(item);
    }
    addSeparator();
}

QAction* AppController::addRevealDesktopPictureMenuItem() {
    return addMenuItem(QStringLiteral("Reveal Desktop Picture"),
                       VELMORA_SELECTOR(selRevealDesktopPicture),
                       QStringLiteral("Show the desktop picture in the Finder."));
}

QAction* AppController::addSetDesktopPictureMenuItem() {
    if (!gFinderSelectionHasImage)
        return nullptr;
    return addMenuItem(QStringLiteral("Set Desktop Picture"),
                       VELMORA_SELECTOR(selSetDesktopPicture),
                       QStringLiteral("Set the desktop picture to the selected graphic in the "
                                      "Finder."));
}

QAction* AppController::addResetDesktopPictureMenuItem() {
    CFPreferencesAppSynchronize(kApplicationIdentifier);
    if (!CFPreferencesCopyAppValue(kLastDesktopPicturePathKey, kApplicationIdentifier))
        return nullptr;
    return addMenuItem(QStringLiteral("Reset Desktop Picture"),
                       VELMORA_SELECTOR(selResetDesktopPicture),
                       QStringLiteral("Restore the desktop picture to what it was before the last "
                                      "\"Set Desktop Picture\" command."));
}

// Entries that are not texts name no file and get no item; they stay in the stored list.
QAction* AppController::addRecentDesktopPicturesMenuItem(const QVariantList& paths) {
    if (paths.isEmpty())
        return nullptr;
    QAction* parent = addLabel(QStringLiteral("Recent Pictures"));
    QMenu* submenu = NewMenu(m_menu.get());
    AttachSubmenu(parent, submenu);
    for (const QVariant& entry : paths) {
        if (entry.typeId() != QMetaType::QString)
            continue;
        const QString path = entry.toString();
        QAction* item = appendItem(submenu, QFileInfo(path).fileName(),
                                   VELMORA_SELECTOR(selRecentDesktopPicture), path);
        if (const auto picture = recentPicture(path))
            SetItemImage(item, QIcon(QPixmap::fromImage(*picture)),
                         QStringLiteral("picture:64x64"));
    }
    return parent;
}

void AppController::selRevealDesktopPicture(QAction*) {
    DoRevealDesktopPictureFile();
}

void AppController::selSetDesktopPicture(QAction*) {
    AEDescList selection;
    long count = 0;
    if (MoreFEGetSelection(MyAEIdleProc, &selection) != noErr ||
        AECountItems(&selection, &count) != noErr)
        return;
    if (count < 1) {
        ShowAlertMessage(QStringLiteral("The Finder has no active selection."), std::nullopt);
        return;
    }
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

void AppController::selResetDesktopPicture(QAction*) {
    DoResetDesktopPicture();
}

void AppController::selClearRecentDesktopPictures(QAction*) {
    SetFrontProcess(&kCurrentProcessPSN);
    if (ShowAlertMessageWithCancel(
            QStringLiteral("Are you sure you want to clear the recent desktop pictures list?"),
            QStringLiteral("This operation can not be undone.")) == 2)
        return;
    ClearRecentDesktopPaths();
}

void AppController::selRecentDesktopPicture(QAction* sender) {
    if (const auto path = ItemToolTip(sender))
        SetDesktopPictureToPath(*path);
}
