// Velmora against a real headless sway, through the compositor's toplevel list and virtual
// keyboard: the front application is a native window's with an xterm behind it, and "Hide
// Others" is not offered (sway does not minimise); a native browser's page titles are read and
// pasted exactly into the front window, never the clipboard it held before; a window closed
// after the opening gets no keystroke and no other window does; a compositor that goes away
// leaves no front window; Velmora's own window is never the front one. Run inside
// sway-session.sh.
//
// sway's headless session has no keyboard: the test plugs in the user's own, a virtual one with
// the Dvorak layout, where C and V are not on the keys QWERTY has them on.
#include "DesktopSession.h"
#include "platform/services/Processes.h"
#include "platform/services/ScriptCommands.h"

#include "virtual-keyboard-unstable-v1-client.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

using namespace desktop_session;

// A virtual keyboard of the session's own, as a user's keyboard is, on a connection of its own.
class UsersKeyboard {
public:
    explicit UsersKeyboard(const char* variant) : m_display(wl_display_connect(nullptr)) {
        if (!m_display)
            return;
        static const wl_registry_listener listener{
            .global =
                [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                   std::uint32_t) {
                    auto* self = static_cast<UsersKeyboard*>(data);
                    if (std::strcmp(interface, wl_seat_interface.name) == 0)
                        self->m_seat = static_cast<wl_seat*>(
                            wl_registry_bind(registry, name, &wl_seat_interface, 1));
                    else if (std::strcmp(interface,
                                         zwp_virtual_keyboard_manager_v1_interface.name) == 0)
                        self->m_manager =
                            static_cast<zwp_virtual_keyboard_manager_v1*>(wl_registry_bind(
                                registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
                },
            .global_remove = [](void*, wl_registry*, std::uint32_t) {}};
        wl_registry_add_listener(wl_display_get_registry(m_display), &listener, this);
        wl_display_roundtrip(m_display);
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names{.rules = "evdev",
                                   .model = "pc105",
                                   .layout = "us",
                                   .variant = variant,
                                   .options = nullptr};
        xkb_keymap* keymap =
            xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const std::size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("users-keymap", MFD_CLOEXEC);
        if (m_seat && m_manager && write(fd, text, size) == ssize_t(size)) {
            m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
            zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                           std::uint32_t(size));
            wl_display_roundtrip(m_display);
        }
        close(fd);
        std::free(text);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
    ~UsersKeyboard() {
        if (m_display)
            wl_display_disconnect(m_display);
    }
    bool plugged() const { return m_keyboard && wl_display_get_error(m_display) == 0; }

private:
    wl_display* m_display;
    wl_seat* m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1* m_manager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
};

// One desktop for the session, as Velmora has: its virtual keyboard, once made, is the seat's
// keyboard until the user types, and one dropped would leave the seat without any.
class SwaySessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { desktop = new InstalledDesktop("sway"); }
    static void TearDownTestSuite() { delete desktop; }
    static InstalledDesktop* desktop;
};
InstalledDesktop* SwaySessionTest::desktop = nullptr;

TEST_F(SwaySessionTest, FrontApplicationIsTheNativeWindowsAndHideOthersIsNotOffered) {
    QProcess xterm;
    xterm.start(QStringLiteral("xterm"),
                {QStringLiteral("-title"), QStringLiteral("Velmora XTerm")});
    ASSERT_TRUE(becomesFront(QStringLiteral("XTerm")));
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));

    ProcessSerialNumber front;
    ASSERT_EQ(GetFrontProcess(&front), noErr);
    EXPECT_FALSE(CanHideOtherProcesses(&front));
    EXPECT_NE(tell(QStringLiteral("System Events"), script_commands::kHideOthers).status, noErr);

    // Velmora's own window in front (an alert) is passed over for the one it covers.
    QWidget alert;
    alert.setWindowTitle(QStringLiteral("Alert"));
    alert.show();
    const QDeadlineTimer deadline(5000);
    while (!alert.isActiveWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(alert.isActiveWindow());
    EXPECT_EQ(frontName(), QStringLiteral("org.example.Writer"));
    xterm.kill();
    xterm.waitForFinished();
}

TEST_F(SwaySessionTest, CopyKeystrokeCopiesTheFrontWindowsSelection) {
    ExpectCopyKeystrokeCopiesTheFrontWindowsSelection();
}

// Titles with quotes, characters beyond Latin-1, thousands of characters, and a line break.
TEST_F(SwaySessionTest, NativeBrowsersPageTitleIsPastedIntoTheFrontWindow) {
    ExpectPageTitlePastedIntoTheFrontWindow(QStringLiteral("\"Quoted\" caf\u00e9 \u2014 ") +
                                            QString(3000, u'x'));
    ExpectPageTitlePastedIntoTheFrontWindow(QStringLiteral("First line\nsecond line"));
}

TEST_F(SwaySessionTest, KeystrokeForAWindowClosedSinceTheOpeningTypesNothing) {
    ExpectNothingTypedForAWindowClosedSinceTheOpening();
}

// A sway of its own, without XWayland, that the test can end; Velmora's desktop made while its
// display is the session's.
class SecondSway {
public:
    SecondSway() {
        QFile config(m_dir.filePath(QStringLiteral("config")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write("output HEADLESS-1 resolution 800x600\nxwayland disable\nexec printf %s "
                     "\"$WAYLAND_DISPLAY\" >" +
                     QFile::encodeName(m_dir.filePath(QStringLiteral("display"))) + "\n");
        config.close();
        m_sway.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sway.setStandardOutputFile(QProcess::nullDevice());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
        environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
        environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
        m_sway.setProcessEnvironment(environment);
        m_sway.start(QStringLiteral("sway"), {QStringLiteral("--config"), config.fileName()});
        QFile display(m_dir.filePath(QStringLiteral("display")));
        const QDeadlineTimer deadline(10000);
        while (display.size() == 0 && !deadline.hasExpired())
            QThread::msleep(50);
        if (display.open(QIODevice::ReadOnly))
            m_display = display.readAll();
    }
    ~SecondSway() { end(); }
    QByteArray display() const { return m_display; }
    void end() {
        m_sway.kill();
        m_sway.waitForFinished(5000);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_sway;
    QByteArray m_display;
};

TEST(SwayGoneTest, ACompositorThatEndsLeavesNoFrontWindowAndTypesNothing) {
    SecondSway sway;
    ASSERT_FALSE(sway.display().isEmpty());
    const QByteArray session = qgetenv("WAYLAND_DISPLAY");
    qputenv("WAYLAND_DISPLAY", sway.display());
    {
        NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
        InstalledDesktop desktop("sway");
        ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
        sway.end();
        EXPECT_EQ(frontName(), QString());
        EXPECT_NE(tell(QStringLiteral("System Events"), script_commands::kPasteKeystroke).status,
                  noErr);
        EXPECT_NE(tell(QStringLiteral("Firefox"), script_commands::kFrontPageTitle).status, noErr);
    }
    qputenv("WAYLAND_DISPLAY", session);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    if (!writeStandInEntries({QStringLiteral("org.example.Writer"),
                              QStringLiteral("org.example.Other"), QStringLiteral("firefox")}))
        return 1;
    UsersKeyboard keyboard("dvorak");
    if (!keyboard.plugged()) {
        std::fprintf(stderr, "sway took no virtual keyboard\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
