#include "prefs/PrefPane.h"

#include "common/AlertMessages.h"
#include "platform/services/LoginItems.h"
#include "platform/services/Notifications.h"
#include "platform/services/PreferenceCalls.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceValues.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Box {
    const char* key;
    const char* handler;
    const char* label;
};

// In the order the window shows them.
constexpr Box kMessageParts[] = {
    {"IncludeContent", "includeContentButtonClicked:", "Content"},
    {"IncludeSubject", "includeSubjectButtonClicked:", "Subject"},
    {"IncludeReplyTo", "includeReplyToButtonClicked:", "Reply-To"},
    {"IncludeSender", "includeSenderButtonClicked:", "Sender"},
    {"IncludeSenderName", "includeSenderNameButtonClicked:", "Sender's name"},
    {"IncludeSenderAddress", "includeSenderAddressButtonClicked:", "Sender's address"},
    {"IncludeRecipient", "includeRecipientButtonClicked:", "Recipient"},
    {"IncludeRecipientName", "includeRecipientNameButtonClicked:", "Recipient's name"},
    {"IncludeRecipientAddress", "includeRecipientAddressButtonClicked:", "Recipient's address"},
    {"MessageID", "includeMessageIDButtonClicked:", "Message ID"},
    {"MailMessageID", "includeMailMessageIDButtonClicked:", "Mail's message ID"},
    {"AllHeaders", "includeAllHeadersButtonClicked:", "All headers"},
    {"AllHeadersContent", "includeAllHeadersContentButtonClicked:", "All headers' content"},
    {"IncludeDate", "includeDateButtonClicked:", "Date"},
    {"IncludeTime", "includeTimeButtonClicked:", "Time"},
    {"IncludeSummary", "includeSummaryButtonClicked:", "Summary"},
    {"IncludeSource", "includeSourceButtonClicked:", "Source"},
};
constexpr Box kOptions[] = {
    {"IncludeAddRecipientToAddressBook",
     "includeAddRecipientToAddressBookButtonClicked:", "Add recipients to the address book"},
    {"IncludeAddToAddressBook",
     "includeAddToAddressBookButtonClicked:", "Add senders to the address book"},
    {"MakeAsSubmenu", "makeAsSubmenuButtonClicked:", "Commands in a submenu"},
    {"UseCommaDelimiter", "useCommaDelimiterButtonClicked:", "Separate lines with commas"},
    {"ReverseOrder", "reverseOrderButtonClicked:", "Oldest first"},
    {"DontMakeCompletionSound",
     "dontMakeCompletionSoundButtonClicked:", "No sound when a command completes"},
};
// In no group: no button changes them.
constexpr Box kSaving[] = {
    {"IncludeSaveToPDF", "includeSaveToPDFButtonClicked:", "Save to PDF"},
    {"IncludeSaveToRTF", "includeSaveToRTFButtonClicked:", "Save to RTF"},
};

// The box of the session's autostart entry, which is its own record: no key stores it.
constexpr Box kStartAtLogin = {"StartAtLogin",
                               "startAtLoginButtonClicked:", "Start Velmora when you log in"};

// The keys as the store is loaded and, on closing, written: the inclusions, then the options.
const std::vector<const char*> kInclusionKeys = {"IncludeAddRecipientToAddressBook",
                                                 "IncludeAddToAddressBook",
                                                 "IncludeSaveToPDF",
                                                 "IncludeSaveToRTF",
                                                 "IncludeContent",
                                                 "IncludeSource",
                                                 "IncludeSubject",
                                                 "IncludeReplyTo",
                                                 "IncludeSender",
                                                 "IncludeSenderName",
                                                 "IncludeSenderAddress",
                                                 "IncludeSummary",
                                                 "IncludeRecipient",
                                                 "IncludeRecipientName",
                                                 "IncludeRecipientAddress",
                                                 "MessageID",
                                                 "MailMessageID",
                                                 "AllHeaders",
                                                 "AllHeadersContent",
                                                 "IncludeDate",
                                                 "IncludeTime"};
const std::vector<const char*> kOptionKeys = {"MakeAsSubmenu", "UseCommaDelimiter", "ReverseOrder",
                                              "DontMakeCompletionSound"};
const std::vector<const char*> kBottomGroup = {"IncludeAddRecipientToAddressBook",
                                               "IncludeAddToAddressBook",
                                               "MakeAsSubmenu",
                                               "UseCommaDelimiter",
                                               "ReverseOrder",
                                               "DontMakeCompletionSound"};

struct GroupButton {
    const char* handler;
    const char* title;
    bool top;
    bool on;
};
constexpr GroupButton kGroupButtons[] = {
    {"includeAllTopButtonClicked:", "All", true, true},
    {"includeNoneTopButtonClicked:", "None", true, false},
    {"includeAllBottomButtonClicked:", "All", false, true},
    {"includeNoneBottomButtonClicked:", "None", false, false},
};

template <typename Visit> void forEachBox(Visit visit) {
    for (const Box& box : kMessageParts)
        visit(box);
    for (const Box& box : kOptions)
        visit(box);
    for (const Box& box : kSaving)
        visit(box);
}

bool defaultFor(const char* key) {
    for (const BooleanPreference& preference : BooleanPreferences()) {
        if (qstrcmp(preference.key, key) == 0)
            return preference.defaultValue;
    }
    return false;
}

std::vector<const char*> topGroup() {
    std::vector<const char*> keys;
    for (const Box& box : kMessageParts)
        keys.push_back(box.key);
    return keys;
}

} // namespace

VelmoraPrefPane::VelmoraPrefPane()
    : m_appID(kApplicationIdentifier), m_window(new QWidget), m_versionInfoField(new QLabel) {
    m_window->setWindowTitle(QStringLiteral("Velmora Preferences"));
    auto* layout = new QVBoxLayout(m_window);
    // A box named by its key, writing its key when clicked.
    const auto makeBox = [this](const Box& box) {
        auto* check = new QCheckBox(QString::fromUtf8(box.label));
        check->setObjectName(QString::fromLatin1(box.key));
        m_boxes[QString::fromLatin1(box.key)] = check;
        const char* key = box.key;
        connect(check, &QCheckBox::clicked, this, [this, key] { boxClicked(key); });
        return check;
    };
    const auto group = [&](const char* title, std::span<const Box> boxes, bool top) {
        auto* frame = new QGroupBox(QString::fromLatin1(title));
        auto* grid = new QGridLayout(frame);
        int row = 0;
        for (const Box& box : boxes) {
            grid->addWidget(makeBox(box), row / 2, row % 2);
            ++row;
        }
        for (const GroupButton& button : kGroupButtons) {
            if (button.top != top)
                continue;
            auto* push = new QPushButton(QString::fromLatin1(button.title));
            const char* handler = button.handler;
            connect(push, &QPushButton::clicked, this, [this, handler] { click(handler); });
            grid->addWidget(push, (row + 1) / 2 + 1, button.on ? 0 : 1);
        }
        layout->addWidget(frame);
    };
    group("Parts of a message", kMessageParts, true);
    group("Options", kOptions, false);
    auto* saving = new QGroupBox(QStringLiteral("Saving"));
    auto* savingLayout = new QVBoxLayout(saving);
    for (const Box& box : kSaving)
        savingLayout->addWidget(makeBox(box));
    layout->addWidget(saving);
    auto* session = new QGroupBox(QStringLiteral("Session"));
    auto* sessionLayout = new QVBoxLayout(session);
    m_startAtLogin = new QCheckBox(QString::fromUtf8(kStartAtLogin.label));
    m_startAtLogin->setObjectName(QString::fromLatin1(kStartAtLogin.key));
    connect(m_startAtLogin, &QCheckBox::clicked, this, [this] { startAtLoginClicked(); });
    sessionLayout->addWidget(m_startAtLogin);
    layout->addWidget(session);
    layout->addWidget(m_versionInfoField);
    initControls();
    // Every window of the application: closing the movie report writes the settings too.
    qApp->installEventFilter(this);
}

VelmoraPrefPane::~VelmoraPrefPane() {
    qApp->removeEventFilter(this);
    delete m_window;
}

void VelmoraPrefPane::initControls() {
    m_versionInfoField->setText(
        QStringLiteral("%1 %2").arg(QStringLiteral("Velmora"), QStringLiteral(VELMORA_VERSION)));
    // Read as the window is made, without synchronising first: the store is as this process
    // last saw it.
    const auto load = [&](const char* key) {
        m_boxes.at(QString::fromLatin1(key))
            ->setChecked(BooleanPreferenceValue(QString::fromLatin1(key), defaultFor(key),
                                                /*synchronize=*/false));
    };
    for (const char* key : kInclusionKeys)
        load(key);
    for (const char* key : kOptionKeys)
        load(key);
    m_startAtLogin->setChecked(SMLoginItemEnabled());
}

void VelmoraPrefPane::startAtLoginClicked() {
    const bool enable = m_startAtLogin->isChecked();
    QString error;
    if (SMLoginItemSetEnabled(enable, &error))
        return;
    m_startAtLogin->setChecked(SMLoginItemEnabled());
    ShowAlertMessage(enable ? QStringLiteral("Velmora could not be set to start when you log in.")
                            : QStringLiteral("Velmora could not be kept from starting when you "
                                             "log in."),
                     error);
}

void VelmoraPrefPane::boxClicked(const char* key) {
    const QString name = QString::fromLatin1(key);
    CFPreferencesSetAppValue(name, QVariant(m_boxes.at(name)->isChecked()), m_appID);
    CFPreferencesAppSynchronize(m_appID);
}

void VelmoraPrefPane::setGroup(const std::vector<const char*>& keys, bool on) {
    for (const char* key : keys) {
        m_boxes.at(QString::fromLatin1(key))->setChecked(on);
        boxClicked(key);
    }
}

bool VelmoraPrefPane::click(const QString& handler) {
    if (handler == QLatin1String(kStartAtLogin.handler)) {
        m_startAtLogin->setChecked(!m_startAtLogin->isChecked());
        startAtLoginClicked();
        return true;
    }
    for (const GroupButton& button : kGroupButtons) {
        if (handler == QLatin1String(button.handler)) {
            setGroup(button.top ? topGroup() : kBottomGroup, button.on);
            return true;
        }
    }
    bool found = false;
    forEachBox([&](const Box& box) {
        if (!found && handler == QLatin1String(box.handler)) {
            QCheckBox* check = m_boxes.at(QString::fromLatin1(box.key));
            check->setChecked(!check->isChecked());
            boxClicked(box.key);
            found = true;
        }
    });
    return found;
}

QStringList VelmoraPrefPane::handlers() {
    QStringList names;
    forEachBox([&](const Box& box) { names.append(QString::fromLatin1(box.handler)); });
    names.append(QString::fromLatin1(kStartAtLogin.handler));
    for (const GroupButton& button : kGroupButtons)
        names.append(QString::fromLatin1(button.handler));
    return names;
}

void VelmoraPrefPane::windowWillClose() {
    const auto write = [&](const char* key) {
        const QString name = QString::fromLatin1(key);
        CFPreferencesSetAppValue(name, QVariant(m_boxes.at(name)->isChecked()), m_appID);
    };
    for (const char* key : kInclusionKeys)
        write(key);
    CFPreferencesAppSynchronize(m_appID);
    for (const char* key : kOptionKeys)
        write(key);
    CFPreferencesAppSynchronize(m_appID);
    CFNotificationCenterPostDistributedNotification(kPreferencesChangedNotification,
                                                    kPreferenceIdentifier, true);
}

bool VelmoraPrefPane::eventFilter(QObject* watched, QEvent* event) {
    // The autostart entry may have changed since the window last showed (the desktop's own
    // settings, a file manager): the box shows the entry as it is now.
    if (event->type() == QEvent::Show && watched == m_window)
        m_startAtLogin->setChecked(SMLoginItemEnabled());
    if (event->type() == QEvent::Close) {
        // Menus and tool tips are no windows a user closes: the tray menu closes at every use,
        // and writing the boxes then would undo, each time, what another process stored.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && widget->windowType() != Qt::Popup &&
            widget->windowType() != Qt::ToolTip)
            windowWillClose();
    }
    return false;
}
