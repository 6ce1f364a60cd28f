#include "common/CommandProgress.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex gProgressLock;
QString gProgress;

} // namespace

void SetCommandProgress(const QString& text) {
    const QMutexLocker locked(&gProgressLock);
    gProgress = text;
}

QString CommandProgress() {
    const QMutexLocker locked(&gProgressLock);
    return gProgress;
}
