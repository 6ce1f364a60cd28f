#include "platform/linux/FrontWindows.h"

#include "platform/linux/WindowBackends.h"
#include "platform/services/SystemLog.h"

namespace platform::linuxdesk {

namespace {

FrontWindows* gInstalled = nullptr;

const char* capabilityName(FrontWindows::Capability capability) {
    switch (capability) {
    case FrontWindows::Capability::FrontWindow:
        return "The front window";
    case FrontWindows::Capability::WindowList:
        return "The windows' titles";
    case FrontWindows::Capability::HideOthers:
        return "\"Hide Others\"";
    case FrontWindows::Capability::Keystrokes:
        return "The copy and paste keystrokes";
    }
    return "";
}

} // namespace

FrontWindows::FrontWindows(std::vector<std::unique_ptr<WindowBackend>> backends)
    : m_backends(std::move(backends)), m_chosen(4) {
    gInstalled = this;
}

FrontWindows::~FrontWindows() {
    if (gInstalled == this)
        gInstalled = nullptr;
}

std::unique_ptr<FrontWindows> FrontWindows::forSession() {
    return std::make_unique<FrontWindows>(SessionWindowBackends());
}

WindowBackend* FrontWindows::backendFor(Capability capability) {
    WindowBackend* chosen = nullptr;
    for (const auto& backend : m_backends) {
        if (backend->available()) {
            chosen = backend.get();
            break;
        }
    }
    QString& said = m_chosen[static_cast<std::size_t>(capability)];
    const QString now = chosen ? chosen->name() : QStringLiteral("nothing on this desktop");
    if (said != now) {
        said = now;
        NSLog(QStringLiteral("%1: %2").arg(QLatin1String(capabilityName(capability)), now));
    }
    return chosen;
}

void FrontWindows::rememberAtOpening() {
    ++m_serial;
    m_frontBackend = backendFor(Capability::FrontWindow);
    m_front = m_frontBackend ? m_frontBackend->activeWindow() : std::nullopt;
    m_takenAt = std::chrono::steady_clock::now();
    m_unused = true;
}

void FrontWindows::rememberUnlessJustTaken() {
    if (m_unused && std::chrono::steady_clock::now() - m_takenAt < kSameOpening) {
        m_unused = false;
        return;
    }
    rememberAtOpening();
    m_unused = false;
}

std::vector<WindowInfo> FrontWindows::windows() {
    WindowBackend* backend = backendFor(Capability::WindowList);
    return backend ? backend->windows() : std::vector<WindowInfo>{};
}

// Hiding and typing act on the front window, whose id only the backend that gave it knows.
bool FrontWindows::canHideOthers() {
    return m_front && m_frontBackend && backendFor(Capability::HideOthers) == m_frontBackend &&
           m_frontBackend->minimises();
}

bool FrontWindows::hideOthers() {
    return canHideOthers() && m_frontBackend->hideOthers(*m_front);
}

bool FrontWindows::activateFront() {
    return m_front && m_frontBackend && m_frontBackend->activate(m_front->id);
}

bool FrontWindows::sendKeystroke(Keystroke keystroke) {
    WindowBackend* backend = backendFor(Capability::Keystrokes);
    return m_front && backend == m_frontBackend && backend && backend->exists(m_front->id) &&
           backend->sendKeystroke(*m_front, keystroke);
}

FrontWindows* InstalledFrontWindows() {
    return gInstalled;
}

void RememberFrontWindowAtOpening() {
    if (gInstalled)
        gInstalled->rememberAtOpening();
}

} // namespace platform::linuxdesk
