// The contract every desktop keeps, checked against both: the world the tests run in, and the
// Linux desktop wherever it can run without a display (its selection file, the offscreen
// clipboard, the preference store's folder, the applications scripts talk to). A backend that
// drifts from the other fails here, not in a user's menu.
#include "common/ClipboardText.h"
#include "common/SelectionResolution.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/SelectionFile.h"
#include "platform/local/files/Files.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/script/ScriptDictionaries.h"
#include "platform/services/InternetConfig.h"
#include "platform/services/Locations.h"
#include "platform/services/LoginItems.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/PasteboardImage.h"
#include "platform/services/Platform.h"
#include "platform/services/PreferenceCalls.h"
#include "platform/services/Scripting.h"
#include "platform/services/Workspace.h"
#include "platform/world/World.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

const QString kDomain = QStringLiteral("io.velmora.Conformance");

// A desktop under test, and how a test sets up what the user did outside Velmora.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual platform::Services services() const = 0;
    // A folder for the test's files.
    virtual QString files() const = 0;
    // The file manager's selection becomes these paths.
    virtual void select(const std::vector<QByteArray>& paths) = 0;
};

class WorldDesktop : public Desktop {
public:
    platform::Services services() const override { return m_world.services(); }
    QString files() const override { return m_world.root(); }
    void select(const std::vector<QByteArray>& paths) override {
        m_world.finder.selection.clear();
        for (const QByteArray& path : paths)
            m_world.finder.selection.push_back({path});
    }

private:
    platform::world::World m_world;
};

// The Linux desktop in a home of its own: runtime, cache and configuration folders inside it.
class LinuxDesktop : public Desktop {
public:
    LinuxDesktop()
        : m_environment{path("run"),    path("cache"), path("home"),
                        path("config"), QByteArray(),  path("data")},
          m_desktop((makeFolders(), m_environment)) {}
    platform::Services services() const override { return m_desktop.services(); }
    QString files() const override { return QFile::decodeName(path("home")); }
    void select(const std::vector<QByteArray>& paths) override {
        ASSERT_TRUE(platform::linuxdesk::writeSelectionFile(
            platform::linuxdesk::selectionFolder(m_environment.runtimeDir, {}, {}), paths,
            nullptr));
    }

private:
    QByteArray path(const char* name) const { return QFile::encodeName(m_dir.path()) + '/' + name; }
    void makeFolders() const {
        for (const char* name : {"run", "cache", "home", "config"}) {
            QDir().mkpath(QFile::decodeName(path(name)));
            ::chmod(path(name).constData(), 0700);
        }
    }

    QTemporaryDir m_dir;
    platform::linuxdesk::DesktopEnvironment m_environment;
    platform::linuxdesk::LinuxDesktop m_desktop;
};

template <typename Kind> class DesktopConformance : public ::testing::Test {
protected:
    DesktopConformance() : m_installed(m_desktop.services()) {}

    QByteArray file(const QString& name) {
        const QString path = m_desktop.files() + u'/' + name;
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        return QFile::encodeName(path);
    }

    Kind m_desktop;
    platform::ScopedPlatform m_installed;
};

using Desktops = ::testing::Types<WorldDesktop, LinuxDesktop>;
class DesktopNames {
public:
    template <typename T> static std::string GetName(int) {
        return std::is_same_v<T, WorldDesktop> ? "World" : "Linux";
    }
};
TYPED_TEST_SUITE(DesktopConformance, Desktops, DesktopNames);

TYPED_TEST(DesktopConformance, FinderSelectionResolvesInOrderAndForgetsWhatIsGone) {
    const QByteArray a = this->file(QStringLiteral("a \"quoted\" name.txt"));
    const QByteArray b = this->file(QStringLiteral("b.txt"));
    this->m_desktop.select({b, a});
    EXPECT_EQ(FinderSelectionPaths(), QStringList({QFile::decodeName(b), QFile::decodeName(a)}));
    ASSERT_TRUE(QFile::remove(QFile::decodeName(b)));
    EXPECT_EQ(FinderSelectionPaths(), QStringList({QFile::decodeName(a)}));
    this->m_desktop.select({});
    long count = 0;
    EXPECT_FALSE(CurrentFinderSelection(&count));
}

TYPED_TEST(DesktopConformance, ClipboardTextGoesInAndComesBackOut) {
    ASSERT_EQ(PutStringOnPasteboard(QStringLiteral("caf\u00e9 \"au lait\"\n")), noErr);
    EXPECT_EQ(ClipboardText(false), QStringLiteral("caf\u00e9 \"au lait\"\n"));
    PasteboardRef pasteboard = nullptr;
    ASSERT_EQ(PasteboardCreate(kPasteboardClipboard, &pasteboard), noErr);
    EXPECT_TRUE(PasteboardSynchronize(pasteboard) & kPasteboardClientIsOwner);
    ItemCount count = 0;
    ASSERT_EQ(PasteboardGetItemCount(pasteboard, &count), noErr);
    EXPECT_EQ(count, 1u);
    PasteboardItemID item = 0;
    QStringList flavors;
    ASSERT_EQ(PasteboardGetItemIdentifier(pasteboard, 1, &item), noErr);
    ASSERT_EQ(PasteboardCopyItemFlavors(pasteboard, item, &flavors), noErr);
    EXPECT_TRUE(flavors.contains(kUTTypeUTF8PlainText));

    ASSERT_EQ(PasteboardClear(pasteboard), noErr);
    EXPECT_EQ(ClipboardText(false), std::nullopt);
}

// A copied picture is one item with only the PNG flavor, readable as the picture it was and not
// as text. On Linux the clipboard is read the same way whoever put the picture there.
TYPED_TEST(DesktopConformance, APngOnTheClipboardIsOneItemOfOneFlavor) {
    QImage image(12, 7, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "png"));
    PasteboardRef pasteboard = nullptr;
    ASSERT_EQ(PasteboardCreate(kPasteboardClipboard, &pasteboard), noErr);
    ASSERT_EQ(PasteboardClear(pasteboard), noErr);
    ASSERT_TRUE(PasteboardSynchronize(pasteboard) & kPasteboardClientIsOwner);
    ASSERT_EQ(PasteboardPutItemFlavor(pasteboard, 1, kUTTypePNG, png, kPasteboardFlavorNoFlags),
              noErr);
    EXPECT_TRUE(ImageCanInitWithPasteboard(pasteboard));
    const auto back = ImageInitWithPasteboard(pasteboard);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), QSize(12, 7));
    EXPECT_EQ(ClipboardText(false), std::nullopt);
    PasteboardItemID item = 0;
    QStringList flavors;
    ASSERT_EQ(PasteboardGetItemIdentifier(pasteboard, 1, &item), noErr);
    ASSERT_EQ(PasteboardCopyItemFlavors(pasteboard, item, &flavors), noErr);
    EXPECT_EQ(flavors, QStringList({kUTTypePNG}));
}

// What the preference calls write lands in the desktop's store folder, for the next process to
// read; how the store keeps types is the store's own test.
TYPED_TEST(DesktopConformance, PreferencesReachTheNextProcess) {
    CFPreferencesSetAppValue(QStringLiteral("Flag"), QVariant(true), kDomain);
    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain));
    platform::PreferenceStore next(platform::preferences().folder());
    EXPECT_EQ(next.copyValue(QStringLiteral("Flag"), kDomain), QVariant(true));
    EXPECT_TRUE(QFileInfo(platform::preferences().folder()).isAbsolute());
}

// Every command the dialect sends to an application the desktop provides is one it knows.
TYPED_TEST(DesktopConformance, ApplicationsUnderstandEveryCommandOfTheirDictionaries) {
    platform::ScriptingService& scripting = platform::scripting();
    EXPECT_EQ(scripting.application(QStringLiteral("No Such Application")), nullptr);
    EXPECT_NE(scripting.application(QStringLiteral("Finder")), nullptr);
    const QString missing = this->m_desktop.files() + QStringLiteral("/missing.png");
    for (const QString& name : DictionaryApplications()) {
        platform::ScriptApplication* application = scripting.application(name);
        if (!application)
            continue;
        for (const DictionaryEntry& entry : DictionaryForApplication(name)) {
            // One text argument where the statement takes a value: a file that is not there,
            // so that no command changes anything outside the test.
            std::vector<ScriptValue> arguments;
            if (QLatin1String(entry.pattern).contains(QLatin1String("%v")))
                arguments.push_back(ScriptValue::text(missing));
            const platform::ScriptReply reply =
                application->perform(QString(entry.command), arguments);
            EXPECT_NE(reply.status, platform::errAEEventNotHandled)
                << name.toStdString() << ": " << entry.pattern;
        }
    }
}

TYPED_TEST(DesktopConformance, TheTemporaryItemsFolderIsPrivate) {
    const QString temporary = NSTemporaryItemsDirectory();
    ASSERT_FALSE(temporary.isEmpty());
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(temporary).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 077, 0u);
    EXPECT_TRUE(QFileInfo(NSBundleResourcePath() + QStringLiteral("/scripts")).isDir());
}

// The autostart entry lives in the desktop's own configuration folder, never the real user's.
TYPED_TEST(DesktopConformance, TheAutostartEntryComesAndGoesInTheConfigurationFolder) {
    const QString entry = UserConfigHome() + QStringLiteral("/autostart/velmora.desktop");
    ASSERT_TRUE(entry.startsWith(QFileInfo(this->m_desktop.files()).path())) << entry.toStdString();
    EXPECT_FALSE(SMLoginItemEnabled());
    QString error;
    ASSERT_TRUE(SMLoginItemSetEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(SMLoginItemEnabled());
    EXPECT_TRUE(QFileInfo(entry).isFile());
    ASSERT_TRUE(SMLoginItemSetEnabled(false, &error)) << error.toStdString();
    EXPECT_FALSE(SMLoginItemEnabled());
    EXPECT_FALSE(QFileInfo::exists(entry));
}

TYPED_TEST(DesktopConformance, TheFileMappingTableGivesExtensionsWithTheirDots) {
    ICInstance instance = nullptr;
    ASSERT_EQ(ICStart(&instance, FOUR_CHAR_CODE("Vlmr")), noErr);
    ASSERT_EQ(ICBegin(instance, icReadOnlyPerm), noErr);
    ICMapHandle mapping;
    ICAttr attr = 0;
    ASSERT_EQ(ICGetPrefHandle(instance, kICMapping, &attr, &mapping), noErr);
    long count = 0;
    ASSERT_EQ(ICCountMapEntries(instance, mapping, &count), noErr);
    bool pdf = false;
    for (long index = 1; index <= count; ++index) {
        ICMapEntry entry;
        ASSERT_EQ(ICGetIndMapEntry(instance, mapping, index, nullptr, &entry), noErr);
        ASSERT_GT(entry.extension[0], 1);
        EXPECT_EQ(entry.extension[1], '.');
        const auto text = [](const unsigned char* pascal) {
            return QByteArray(reinterpret_cast<const char*>(pascal + 1), pascal[0]);
        };
        pdf = pdf || (text(entry.extension) == ".pdf" && text(entry.MIMEType) == "application/pdf");
    }
    EXPECT_TRUE(pdf);
    EXPECT_EQ(ICEnd(instance), noErr);
    EXPECT_EQ(ICStop(instance), noErr);
}

TYPED_TEST(DesktopConformance, ACustomIconIsTheItemsIconUntilItIsRemoved) {
    const QString path = QFile::decodeName(this->file(QStringLiteral("notes.txt")));
    const auto themed = NSWorkspaceIconForFile(path);
    ASSERT_TRUE(themed);
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(NSWorkspaceSetIconForFile(picture, path));
    const auto custom = NSWorkspaceIconForFile(path);
    ASSERT_TRUE(custom);
    ASSERT_EQ(custom->availableSizes(), QList<QSize>{QSize(40, 20)});
    EXPECT_EQ(custom->pixmap(QSize(40, 20)).toImage().pixelColor(5, 5), QColor(Qt::red));
    // Kept with the user's data, never beside the item.
    EXPECT_EQ(QDir(this->m_desktop.files()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("notes.txt")});

    ASSERT_TRUE(NSWorkspaceSetIconForFile(QImage(), path));
    const auto again = NSWorkspaceIconForFile(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->availableSizes(), themed->availableSizes());
}

} // namespace
