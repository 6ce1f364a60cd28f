#include "common/ClipboardText.h"
#include "platform/linux/LinuxServices.h"
#include "platform/services/Platform.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class LinuxPasteboardTest : public ::testing::Test {
protected:
    LinuxPasteboardTest() : m_installed(platform::Services{.pasteboard = &m_pasteboard}) {}

    platform::linuxdesk::LinuxPasteboard m_pasteboard;
    platform::ScopedPlatform m_installed;
};

// What is made from the contents is kept while the count stays: every new contents, from another
// program (the same one again included) or from this one, moves it on.
TEST_F(LinuxPasteboardTest, EveryNewContentsMovesTheChangeCountOn) {
    QGuiApplication::clipboard()->setText(QStringLiteral("first"));
    const UInt64 first = PasteboardChangeCount(&m_pasteboard);
    EXPECT_EQ(PasteboardChangeCount(&m_pasteboard), first);
    QGuiApplication::clipboard()->setText(QStringLiteral("second"));
    const UInt64 second = PasteboardChangeCount(&m_pasteboard);
    EXPECT_GT(second, first);
    ASSERT_EQ(PutStringOnPasteboard(QStringLiteral("ours")), noErr);
    EXPECT_GT(PasteboardChangeCount(&m_pasteboard), second);
}

// A copy answered while the wait runs is seen when it comes; a wait with nothing copied ends
// at its limit, false.
TEST_F(LinuxPasteboardTest, WaitingForAChangeEndsWithTheChangeOrAtTheLimit) {
    PasteboardSynchronize(&m_pasteboard);
    QTimer::singleShot(100, [] { QGuiApplication::clipboard()->setText(QStringLiteral("wor")); });
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(PasteboardWaitForChange(&m_pasteboard, std::chrono::milliseconds(5000)));
    EXPECT_LT(waited.elapsed(), 4000);
    EXPECT_EQ(ClipboardText(true), QStringLiteral("wor"));

    PasteboardSynchronize(&m_pasteboard);
    waited.restart();
    EXPECT_FALSE(PasteboardWaitForChange(&m_pasteboard, std::chrono::milliseconds(200)));
    EXPECT_GE(waited.elapsed(), 190);
}

TEST_F(LinuxPasteboardTest, TextPutHereIsOfferedAsUtf8AndAsPlainText) {
    auto* other = new QMimeData;
    other->setData(QStringLiteral("image/png"), "old picture");
    QGuiApplication::clipboard()->setMimeData(other);

    ASSERT_EQ(PutStringOnPasteboard(QStringLiteral("na\u00efve")), noErr);
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(offered);
    EXPECT_FALSE(offered->hasFormat(QStringLiteral("image/png")));
    EXPECT_EQ(offered->data(QStringLiteral("text/plain;charset=utf-8")), "na\xc3\xafve");
    EXPECT_EQ(offered->text(), QStringLiteral("na\u00efve"));

    // Once another program takes the clipboard, this one may no longer add to it.
    QGuiApplication::clipboard()->setText(QStringLiteral("taken \u00e9"));
    EXPECT_EQ(ClipboardText(true), QStringLiteral("taken \u00e9"));
    EXPECT_FALSE(PasteboardSynchronize(&m_pasteboard) & kPasteboardClientIsOwner);
    EXPECT_EQ(PasteboardPutItemFlavor(&m_pasteboard, 1, kUTTypePNG, "x", 0), notPasteboardOwnerErr);
}

} // namespace
