#include "platform/local/system/Tasks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

int RunTaskAndWait(const QString& path, const QStringList& arguments) {
    // Qt searches PATH for a name without a folder; only an absolute path is run.
    if (!QFileInfo(path).isAbsolute())
        return -1;
    QProcess task;
    task.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    task.setStandardOutputFile(QProcess::nullDevice());
    task.start(path, arguments);
    if (!task.waitForStarted())
        return -1;
    // However long the task takes (archiving a large folder takes minutes), the menu keeps
    // answering: the wait runs the event loop of the application's thread.
    const QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        QEventLoop loop;
        QObject::connect(&task, &QProcess::finished, &loop, &QEventLoop::quit);
        if (task.state() != QProcess::NotRunning)
            loop.exec();
    }
    if (task.state() != QProcess::NotRunning && !task.waitForFinished(-1))
        return -1;
    if (task.exitStatus() != QProcess::NormalExit)
        return -1;
    return task.exitCode();
}
