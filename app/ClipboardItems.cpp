// The clipboard's header items: its text as a label, its picture as an item that opens it in
// Preview, and the two clipboard flags.
#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "common/ClipboardText.h"
#include "common/ImageScaling.h"
#include "common/MenuItems.h"
#include "platform/local/media/MenuPictures.h"
#include "platform/services/PasteboardImage.h"
#include "platform/services/Workspace.h"
#include "scripts/ScriptRunner.h"

#include <QAction>

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
    m_context.clipboardText = text;
}

void AppController::addClipboardImageMenuItem() {
    gClipboardHasImage = false;
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) != noErr ||
        !ImageCanInitWithPasteboard(pasteboard))
        return;
    // Decoded no larger than the menu needs, so that a huge picture does not slow the menu down.
    const auto image = ImageInitWithPasteboard(pasteboard, kClipboardPictureSize * 4);
    if (!image)
        return;
    QAction* item =
        addMenuItem(QString(), "selClipboardImagePreviewItem:",
                    QStringLiteral("Select this item to open the clipboard image in Preview."));
    if (const auto picture = imageByScalingProportionallyToSize(*image, kClipboardPictureSize))
        SetItemImage(item, platform::MenuPicture(*picture), QStringLiteral("picture:64x64"));
    gClipboardHasImage = true;
}

void AppController::selClipboardImagePreviewItem(QAction*) {
    if (const auto preview = NSWorkspaceFullPathForApplication(QStringLiteral("Preview")))
        NSWorkspaceLaunchApplication(*preview);
    RunScriptResource(QStringLiteral("MakeNewPreviewFromClipboard.applescript"), std::nullopt,
                      QString());
}
