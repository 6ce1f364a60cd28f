#include "platform/local/Tasks.h"

#include <QFileInfo>
#include <QProcess>

int RunTaskAndWait(const QString& path, const QStringList& arguments) {
    // Qt searches PATH for a name without a folder; only an absolute path is run.
    if (!QFileInfo(path).isAbsolute())
        return -1;
    QProcess task;
    task.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    task.setStandardOutputFile(QProcess::nullDevice());
    task.start(path, arguments);
    if (!task.waitForStarted() || !task.waitForFinished(-1))
        return -1;
    if (task.exitStatus() != QProcess::NormalExit)
        return -1;
    return task.exitCode();
}
