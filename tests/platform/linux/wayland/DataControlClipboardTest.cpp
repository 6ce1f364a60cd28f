// Velmora's clipboard through a compositor's data control, against a compositor of the test's
// own that does what real ones can be made to do only by chance: owners that never send or send
// without end, ten thousand MIME types, the protocol withdrawn, the compositor gone. Whatever
// happens, a read ends within its bound and nothing older or half-read is taken for the
// clipboard.
#include "platform/linux/wayland/DataControlClipboard.h"
#include "StandInCompositor.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/wayland/WaylandConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using platform::linuxdesk::wayland::DataControlClipboard;
using platform::linuxdesk::wayland::WaylandConnection;
using namespace stand_in;

const QString kText = QStringLiteral("text/plain;charset=utf-8");

class DataControlClipboardTest : public ::testing::Test {
protected:
    DataControlClipboardTest() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_compositor = std::make_unique<StandInCompositor>();
        qputenv("WAYLAND_DISPLAY", m_compositor->socketName());
    }
    std::unique_ptr<DataControlClipboard> connect() {
        return DataControlClipboard::connect(WaylandConnection::connect());
    }
    static std::optional<QByteArray> text(DataControlClipboard& clipboard,
                                          std::chrono::milliseconds limit = 2000ms,
                                          qsizetype maxBytes = 1 << 20) {
        return clipboard.read(kText, limit, maxBytes);
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<StandInCompositor> m_compositor;
};

TEST_F(DataControlClipboardTest, EachNewSelectionIsReadWholeAndAnOfferOfThousandsOfTypesIsCut) {
    QStringList types{kText};
    for (int i = 0; i < 10000; ++i)
        types.append(QStringLiteral("x/%1").arg(i));
    m_compositor->offerSelection(types, sends("first"));
    auto clipboard = connect();
    ASSERT_TRUE(clipboard);
    EXPECT_EQ(text(*clipboard), QByteArray("first"));
    EXPECT_LE(clipboard->mimeTypes().size(), 256);

    m_compositor->offerSelection({kText}, sends("second"));
    ASSERT_TRUE(clipboard->waitForChange(2s));
    EXPECT_EQ(text(*clipboard), QByteArray("second"));
    EXPECT_FALSE(clipboard->read(QStringLiteral("image/png"), 2000ms, 1 << 20));
}

TEST_F(DataControlClipboardTest, OwnersThatNeverSendOrSendWithoutEndAreLeftOut) {
    m_compositor->offerSelection({kText}, neverSends());
    auto clipboard = connect();
    ASSERT_TRUE(clipboard);
    EXPECT_FALSE(text(*clipboard, 200ms));

    m_compositor->offerSelection({kText}, sendsEndlessly());
    ASSERT_TRUE(clipboard->waitForChange(2s));
    EXPECT_FALSE(text(*clipboard, 20s, 4 << 20));

    // Neither left the clipboard unable to read the next selection.
    m_compositor->offerSelection({kText}, sends("after"));
    ASSERT_TRUE(clipboard->waitForChange(2s));
    EXPECT_EQ(text(*clipboard), QByteArray("after"));
}

TEST_F(DataControlClipboardTest, AGoneCompositorOrAWithdrawnProtocolLeavesAnEmptyClipboard) {
    m_compositor->offerSelection({kText}, sends("held"));
    auto gone = connect();
    ASSERT_TRUE(gone);
    ASSERT_EQ(text(*gone), QByteArray("held"));
    m_compositor->disconnectClients();
    ASSERT_TRUE(gone->waitForChange(2s));
    EXPECT_FALSE(gone->usable());
    EXPECT_FALSE(text(*gone));
    EXPECT_FALSE(gone->set({{kText, QByteArray("lost")}}));

    auto withdrawn = connect();
    ASSERT_TRUE(withdrawn);
    ASSERT_EQ(text(*withdrawn), QByteArray("held"));
    m_compositor->withdrawDataControl();
    ASSERT_TRUE(withdrawn->waitForChange(2s));
    EXPECT_FALSE(withdrawn->usable());
    EXPECT_TRUE(withdrawn->mimeTypes().isEmpty());
    EXPECT_FALSE(text(*withdrawn));
}

// A compositor that restarts is asked again, and the clipboard it then holds is counted as new.
TEST_F(DataControlClipboardTest, TheDesktopsClipboardComesBackWithTheCompositor) {
    m_compositor->offerSelection({kText}, sends("before"));
    platform::linuxdesk::LinuxPasteboard pasteboard;
    ASSERT_EQ(pasteboard.source(), platform::linuxdesk::LinuxPasteboard::Source::DataControl);
    pasteboard.synchronize();
    const UInt64 before = pasteboard.changeCount();
    m_compositor->disconnectClients();
    ASSERT_TRUE(pasteboard.waitForChange(2s));
    ItemCount count = 1;
    pasteboard.itemCount(&count);
    EXPECT_EQ(count, 0u);

    // Asked again no sooner than a second after the last time.
    QThread::msleep(1100);
    m_compositor->offerSelection({kText}, sends("after"));
    EXPECT_TRUE(pasteboard.synchronize() & kPasteboardModified);
    EXPECT_GT(pasteboard.changeCount(), before + 1);
    PasteboardItemID item = 0;
    ASSERT_EQ(pasteboard.itemIdentifier(1, &item), noErr);
    QByteArray data;
    ASSERT_EQ(pasteboard.copyItemFlavorData(item, kUTTypeUTF8PlainText, &data), noErr);
    EXPECT_EQ(data, QByteArray("after"));
}

} // namespace
