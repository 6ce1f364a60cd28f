#include "platform/linux/wayland/FakeInput.h"

#include "platform/linux/wayland/SeatKeyboard.h"
#include "platform/linux/wayland/WaylandConnection.h"
#include "platform/services/SystemLog.h"

#include "fake-input-client.h"

#include <wayland-client.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// KWin answers the seat's questions and handles the keys in the order they come; the round trip
// after them says it has.
constexpr auto kAnswerLimit = 500ms;
constexpr std::uint32_t kReleased = 0;
constexpr std::uint32_t kPressed = 1;

} // namespace

FakeInput::FakeInput() = default;

FakeInput::~FakeInput() {
    release();
}

void FakeInput::release() {
    if (m_input)
        org_kde_kwin_fake_input_destroy(m_input);
    m_input = nullptr;
    m_seat.reset();
    m_keys.reset();
    m_global.reset();
    if (m_connection && m_watch)
        m_connection->forget(m_watch);
    m_watch = 0;
    m_connection.reset();
}

void FakeInput::refuse(const char* why) {
    release();
    if (m_said == why)
        return;
    m_said = why;
    NSLog(QStringLiteral("No copy and paste keystrokes for native windows: %1").arg(why));
}

bool FakeInput::available() {
    if (m_input && m_keys && m_connection->usable())
        return true;
    if (!m_input || !m_connection->usable()) {
        release();
        m_connection = WaylandConnection::session();
        if (!m_connection) {
            refuse("there is no Wayland compositor to type through");
            return false;
        }
        const auto global = m_connection->global(org_kde_kwin_fake_input_interface.name);
        const auto seat = m_connection->global(wl_seat_interface.name);
        if (!global) {
            refuse("KWin does not grant Velmora fake input (its installed desktop entry names "
                   "org_kde_kwin_fake_input in X-KDE-Wayland-Interfaces, and Exec the full path "
                   "of the program that runs)");
            return false;
        }
        if (!seat) {
            refuse("the compositor has no seat");
            return false;
        }
        m_global = global->name;
        m_input = static_cast<org_kde_kwin_fake_input*>(
            m_connection->bind(*global, &org_kde_kwin_fake_input_interface, 4));
        if (org_kde_kwin_fake_input_get_version(m_input) < 4) {
            refuse("KWin's fake input is too old to type keys");
            return false;
        }
        org_kde_kwin_fake_input_authenticate(m_input, "Velmora",
                                             "types the copy and paste keystrokes of its commands");
        m_seat = SeatKeyboard::connect(m_connection);
        if (!m_seat) {
            refuse("the compositor has no seat");
            return false;
        }
        m_watch = m_connection->watch({*m_global, m_seat->seatGlobal()}, [this](const char*) {
            if (m_input)
                org_kde_kwin_fake_input_destroy(m_input);
            m_input = nullptr;
        });
    }
    const char* why = "";
    m_keys = m_seat->keys(kAnswerLimit, &why);
    if (!m_keys) {
        refuse(why);
        return false;
    }
    if (m_said) {
        m_said = nullptr;
        NSLog(QStringLiteral("KWin grants Velmora fake input"));
    }
    return true;
}

bool FakeInput::type(FakeKeystroke keystroke) {
    if (!available())
        return false;
    const ShortcutKeys keys = *m_keys;
    const std::uint32_t key = keystroke == FakeKeystroke::Copy ? keys.c : keys.v;
    org_kde_kwin_fake_input_keyboard_key(m_input, keys.control, kPressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, key, kPressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, key, kReleased);
    org_kde_kwin_fake_input_keyboard_key(m_input, keys.control, kReleased);
    return m_connection->flush() && m_connection->roundtrip(kAnswerLimit);
}

} // namespace platform::linuxdesk::wayland
