// Notifications posted to every process of the user's session.
#pragma once

#include <QString>

namespace platform {

class NotificationService {
public:
    virtual ~NotificationService() = default;
    virtual void postDistributed(const QString& name, const QString& object,
                                 bool deliverImmediately) = 0;
};

} // namespace platform

// Posts `name` with `object` and no user information to the distributed centre.
void CFNotificationCenterPostDistributedNotification(const QString& name, const QString& object,
                                                     bool deliverImmediately);
