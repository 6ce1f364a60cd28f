// The clipboard's header items: its text as a label, its picture as an item that opens it in
// Preview, and the two clipboard flags.
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "app/ImageScaling.h"
#include "app/MenuItems.h"
#include "commands/clipboard/ClipboardText.h"
#include "platform/PasteboardImage.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "scripts/ScriptRunner.h"

#include <QAction>
#include <QPixmap>

namespace {
constexpr QSize kClipboardPictureSize(64, 64);
} // namespace

void AppController::addClipboardTextMenuItem() {
    gClipboardHasText = false;
    const auto text = ClipboardText(true);
    if (!text)
        return;
    addLabel(*text);
    gClipboardHasText = true;
}

void AppController::addClipboardImageMenuItem() {
    gClipboardHasImage = false;
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) != noErr ||
        !ImageCanInitWithPasteboard(pasteboard))
        return;
    const auto image = ImageInitWithPasteboard(pasteboard);
    if (!image)
        return;
    QAction* item =
        addMenuItem(QString(), VELMORA_SELECTOR(selClipboardImagePreviewItem),
                    QStringLiteral("Select this item to open the clipboard image in Preview."));
    if (const auto picture = imageByScalingProportionallyToSize(*image, kClipboardPictureSize))
        SetItemImage(item, QIcon(QPixmap::fromImage(*picture)), QStringLiteral("picture:64x64"));
    gClipboardHasImage = true;
}

void AppController::selClipboardImagePreviewItem(QAction*) {
    if (const auto preview =
            platform::workspace().fullPathForApplication(QStringLiteral("Preview")))
        platform::workspace().launchApplication(*preview);
    RunScriptResource(QStringLiteral("MakeNewPreviewFromClipboard.applescript"), std::nullopt,
                      QString());
}
