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
    // Read once per contents, like the picture: a long text is not fetched from its owner again
    // at every opening, and an owner that never answers costs its wait once.
    PasteboardRef pasteboard = nullptr;
    const UInt64 change = PasteboardCreate(kPasteboardClipboard, &pasteboard) == noErr
                              ? PasteboardChangeCount(pasteboard)
                              : 0;
    if (!m_clipboardText || m_clipboardText->change != change || change == 0)
        m_clipboardText = ClipboardTextRead{change, ClipboardText(true)};
    const std::optional<QString>& text = m_clipboardText->text;
    if (!text)
        return;
    addLabel(*text);
    gClipboardHasText = true;
    m_context.clipboardText = text;
}

void AppController::addClipboardImageMenuItem() {
    gClipboardHasImage = false;
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) != noErr)
        return;
    // A picture is read and decoded once per contents of the clipboard: a photo of twelve
    // megapixels takes far longer to decode than the whole menu to build. An owner that never
    // answered is not asked again until the contents change.
    const UInt64 change = PasteboardChangeCount(pasteboard);
    if (!m_clipboardPreview || m_clipboardPreview->change != change) {
        ClipboardPreview preview{change, false, std::nullopt};
        if (ImageCanInitWithPasteboard(pasteboard)) {
            // Decoded no larger than the menu needs where the format allows.
            if (const auto image = ImageInitWithPasteboard(pasteboard, kClipboardPictureSize * 4)) {
                preview.decodes = true;
                if (const auto picture =
                        imageByScalingProportionallyToSize(*image, kClipboardPictureSize))
                    preview.picture = platform::MenuPicture(*picture);
            }
        }
        m_clipboardPreview = std::move(preview);
    }
    if (!m_clipboardPreview->decodes)
        return;
    QAction* item =
        addMenuItem(QString(), "selClipboardImagePreviewItem:",
                    QStringLiteral("Select this item to open the clipboard image in Preview."));
    if (m_clipboardPreview->picture)
        SetItemImage(item, *m_clipboardPreview->picture, QStringLiteral("picture:64x64"));
    gClipboardHasImage = true;
}

void AppController::selClipboardImagePreviewItem(QAction*) {
    if (const auto preview = NSWorkspaceFullPathForApplication(QStringLiteral("Preview")))
        NSWorkspaceLaunchApplication(*preview);
    RunScriptResource(QStringLiteral("MakeNewPreviewFromClipboard.applescript"), std::nullopt,
                      QString());
}
