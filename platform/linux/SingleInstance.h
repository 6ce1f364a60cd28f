// One Velmora a user: the first to start holds the lock "instance.lock" in Velmora's private
// runtime folder and owns the name io.velmora.Velmora on the session bus; a later `velmora`
// finds either taken, hands its request to the first over the bus and ends, so that a second
// tray icon never appears. The lock keeps that rule on a machine without a session bus, and
// for two copies started in the same instant; the kernel releases it when its holder ends,
// however it ends.
#pragma once

#include "platform/local/files/FileDescriptor.h"

#include <QByteArray>
#include <functional>
#include <memory>

namespace platform::linuxdesk {

class SingleInstance {
public:
    // Takes the lock in `folder` (made private when missing; without one, the bus alone decides)
    // and claims the name; `showPreferences` runs when a later instance asks for the preference
    // window.
    SingleInstance(const QByteArray& folder, std::function<void()> showPreferences);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another instance holds the lock or owns the name.
    bool isFirst() const { return m_first; }
    // Asks the instance that owns the name to show its preference window.
    static bool askFirstToShowPreferences();

private:
    class Receiver;
    std::unique_ptr<Receiver> m_receiver;
    platform::FileDescriptor m_lock;
    bool m_first = true;
    bool m_ownsName = false;
};

} // namespace platform::linuxdesk
