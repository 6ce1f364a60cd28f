// Notifications posted to every process of the user's session, and notices shown to the user.
#pragma once

#include <QString>

namespace platform {

class NotificationService {
public:
    virtual ~NotificationService() = default;
    virtual void postDistributed(const QString& name, const QString& object,
                                 bool deliverImmediately) = 0;
    // Tells the user of something that went wrong where no alert is on screen to say it.
    virtual void deliverUserNotice(const QString& text) = 0;
};

} // namespace platform

// Posts `name` with `object` and no user information to the distributed centre.
void CFNotificationCenterPostDistributedNotification(const QString& name, const QString& object,
                                                     bool deliverImmediately);

// Shows the text to the user as a notice of the desktop's (or, without one, in the log).
void NSUserNotificationCenterDeliver(const QString& text);
