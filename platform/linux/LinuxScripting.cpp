#include "platform/linux/FrontWindows.h"
#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxMail.h"
#include "platform/linux/LinuxServices.h"
#include "platform/local/files/AtomicFileDevice.h"
#include "platform/services/BrowserScripting.h"
#include "platform/services/Locations.h"
#include "platform/services/MailScripting.h"
#include "platform/services/PasteboardImage.h"
#include "platform/services/Platform.h"
#include "platform/services/ScriptCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <cerrno>

namespace platform::linuxdesk {

namespace {

class Preview : public ScriptApplication {
public:
    ScriptReply perform(const QString& command, const std::vector<ScriptValue>&) override {
        if (command == script_commands::kActivate)
            return {};
        if (command == script_commands::kNewDocumentFromClipboard)
            return newDocumentFromClipboard();
        return NotUnderstood(QStringLiteral("Preview"), command);
    }

private:
    static ScriptReply newDocumentFromClipboard() {
        const auto image = ImageInitWithPasteboard(&platform::pasteboard());
        if (!image)
            return {ioErr, ScriptValue(), QStringLiteral("The clipboard holds no picture.")};
        const QString folder = platform::locations().temporaryItems();
        if (folder.isEmpty())
            return {ioErr, ScriptValue(), QStringLiteral("There is no temporary-items folder.")};
        // One preview file, replaced whole each time: clicks never pile up pictures, and a
        // viewer that still shows the last one keeps the file it opened.
        const QString path = folder + QStringLiteral("/Clipboard.png");
        AtomicFile file(FileSystemPath(path));
        AtomicFileDevice device(file);
        QImageWriter writer(&device, "png");
        if (!writer.write(*image))
            file.fail(EIO);
        if (!file.commit())
            return {ioErr, ScriptValue(),
                    QStringLiteral("The picture cannot be written: ") +
                        QString::fromStdString(file.errorString())};
        if (!platform::workspace().openFile(path))
            return {ioErr, ScriptValue(), QStringLiteral("No program opens pictures.")};
        return {};
    }
};

class Finder : public ScriptApplication {
public:
    explicit Finder(DesktopFamily desktop) : m_desktop(desktop) {}
    ScriptReply perform(const QString& command,
                        const std::vector<ScriptValue>& arguments) override {
        if (command == script_commands::kDesktopPicturePath) {
            if (const auto path = ReadDesktopPicture(m_desktop))
                return {noErr, ScriptValue::text(*path), QString()};
            return {errAENoSuchObject, ScriptValue(), QStringLiteral("Can't get desktop picture.")};
        }
        if (command == script_commands::kSetDesktopPicture) {
            const ScriptValue& path = arguments.at(0);
            if (path.kind() != ScriptValue::Kind::Text || !QFileInfo(path.toText()).isFile())
                return {fnfErr, ScriptValue(), QStringLiteral("The picture file is not there.")};
            if (m_desktop == DesktopFamily::Unknown) {
                ShowDesktopNotice(QStringLiteral(
                    "Setting the desktop picture is not supported on this desktop."));
                return {ioErr, ScriptValue(),
                        QStringLiteral("This desktop's picture cannot be set.")};
            }
            if (!WriteDesktopPicture(m_desktop, path.toText(),
                                     platform::locations().dataHome() +
                                         QStringLiteral("/velmora/desktop-pictures-before")))
                return {ioErr, ScriptValue(),
                        QStringLiteral("This desktop's picture cannot be set.")};
            return {};
        }
        return NotUnderstood(QStringLiteral("Finder"), command);
    }

private:
    DesktopFamily m_desktop;
};

// No mail client on Linux tells which of its messages are selected, so the senders are never
// known. A new message goes to Thunderbird through its -compose option when it is the user's
// mail client, and to whichever client xdg-email starts otherwise.
class Mail : public ScriptApplication {
public:
    ScriptReply perform(const QString& command,
                        const std::vector<ScriptValue>& arguments) override {
        if (command == script_commands::kSelectedSenders)
            return {errAENoSuchObject, ScriptValue(),
                    QStringLiteral("No mail client here tells its selected messages.")};
        if (command == script_commands::kMakeMessage)
            return makeMessage(arguments);
        return NotUnderstood(QStringLiteral("Mail"), command);
    }

private:
    static ScriptReply makeMessage(const std::vector<ScriptValue>& arguments) {
        const auto request = ReadMailMessageRequest(arguments);
        if (const auto* refused = std::get_if<ScriptReply>(&request))
            return *refused;
        const auto& [paths, text] = std::get<MailMessageRequest>(request);
        const bool thunderbird = ThunderbirdIsTheMailClient();
        const bool started =
            thunderbird ? ComposeInThunderbird(paths, text) : ComposeWithXdgEmail(paths, text);
        if (!started) {
            if (thunderbird)
                SayNoMailClient(text);
            return {ioErr, ScriptValue(), QStringLiteral("No mail client could be started.")};
        }
        return {};
    }
};

} // namespace

// A browser's front page title is the title of its topmost window.
class Browser : public ScriptApplication {
public:
    Browser(const LinuxBrowser& browser, FrontWindows& front)
        : m_browser(browser), m_front(front) {}
    ScriptReply perform(const QString& command,
                        const std::vector<ScriptValue>& arguments) override {
        return BrowserReply(m_browser.name, command, arguments,
                            BrowserFrontPageTitle(m_browser, m_front.windows()));
    }

private:
    const LinuxBrowser& m_browser;
    FrontWindows& m_front;
};

// The copy and paste keystrokes go, as Ctrl+C and Ctrl+V, to the window that was in front when
// the menu opened; hiding the others minimises every other application's windows.
class SystemEvents : public ScriptApplication {
public:
    explicit SystemEvents(FrontWindows& front) : m_front(front) {}
    ScriptReply perform(const QString& command, const std::vector<ScriptValue>&) override {
        if (command == script_commands::kHideOthers) {
            if (!m_front.hideOthers())
                return {errAENoSuchObject, ScriptValue(),
                        QStringLiteral("The application in front is not known.")};
            return {};
        }
        if (command != script_commands::kCopyKeystroke &&
            command != script_commands::kPasteKeystroke)
            return NotUnderstood(QStringLiteral("System Events"), command);
        if (!m_front.sendKeystroke(command == script_commands::kCopyKeystroke ? Keystroke::Copy
                                                                              : Keystroke::Paste))
            return {errAENoSuchObject, ScriptValue(),
                    QStringLiteral("There is no window to send the keystroke to.")};
        return {};
    }

private:
    FrontWindows& m_front;
};

ScriptApplication* LinuxScripting::application(const QString& name) {
    auto& application = m_applications[name];
    if (!application && name == QLatin1String("Preview"))
        application = std::make_unique<Preview>();
    if (!application && name == QLatin1String("Finder"))
        application = std::make_unique<Finder>(m_desktop);
    if (!application && name == QLatin1String("System Events"))
        application = std::make_unique<SystemEvents>(m_front);
    if (!application && name == QLatin1String("Mail"))
        application = std::make_unique<Mail>();
    if (const LinuxBrowser* browser = LinuxBrowserNamed(name); !application && browser)
        application = std::make_unique<Browser>(*browser, m_front);
    return application.get();
}

void LinuxScripting::didRun(const QString&, OSStatus) {}

} // namespace platform::linuxdesk
