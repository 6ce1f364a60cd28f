// On a Wayland session whose compositor gives X11 programs the clipboard only while an X11 window
// has the focus (KWin, sway), what a native window copies, with a native window in front, is what
// Velmora's clipboard holds: a picture, then a text, and never the one before. Built into each
// such session's test program.
#include "DesktopSession.h"
#include "common/ClipboardText.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/PasteboardImage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

namespace {

using namespace desktop_session;

template <typename Condition> bool within(int ms, Condition condition) {
    const QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

TEST(NativeClipboardTest, APictureThenATextCopiedByANativeWindowAreWhatVelmoraReads) {
    InstalledDesktop desktop(qgetenv("XDG_CURRENT_DESKTOP"));
    PasteboardRef clipboard = nullptr;
    ASSERT_EQ(PasteboardCreate(kPasteboardClipboard, &clipboard), noErr);

    NativeWindow painter(QStringLiteral("org.example.Painter"), QStringLiteral("Painter"),
                         {QStringLiteral("--picture"), QStringLiteral("40x30")});
    ASSERT_TRUE(painter.said("offered"));
    ASSERT_TRUE(within(5000, [&] {
        PasteboardSynchronize(clipboard);
        return ImageCanInitWithPasteboard(clipboard);
    }));
    const auto picture = ImageInitWithPasteboard(clipboard);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(40, 30));
    EXPECT_EQ(picture->pixelColor(20, 15), QColor(Qt::red));

    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--clipboard"), QStringLiteral("Quarterly report: final")});
    ASSERT_TRUE(writer.said("offered"));
    EXPECT_TRUE(within(
        5000, [] { return ClipboardText(false) == QStringLiteral("Quarterly report: final"); }));
    PasteboardSynchronize(clipboard);
    EXPECT_FALSE(ImageCanInitWithPasteboard(clipboard));
}

} // namespace
