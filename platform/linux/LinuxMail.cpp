#include "platform/linux/LinuxMail.h"

#include "platform/linux/LinuxServices.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform::linuxdesk {

namespace {

// xdg-mime answers from the desktop's files at once; a hung one does not hold the menu longer.
constexpr int kQueryMilliseconds = 2000;

} // namespace

bool ThunderbirdIsTheMailClient() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(kQueryMilliseconds)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return QString::fromUtf8(query.readAllStandardOutput())
        .contains(QLatin1String("thunderbird"), Qt::CaseInsensitive);
}

bool ComposeInThunderbird(const QStringList& paths, const QString& subject) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("thunderbird"));
    if (program.isEmpty())
        return false;
    QStringList urls;
    for (const QString& path : paths)
        urls.append(QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded())
                        .replace(u',', QLatin1String("%2C"))
                        .replace(u'\'', QLatin1String("%27")));
    QString title = subject;
    title.replace(u'\'', QChar(0x2019));
    const QString fields =
        QStringLiteral("attachment='%1',subject='%2'").arg(urls.join(u','), title);
    return QProcess::startDetached(program, {QStringLiteral("-compose"), fields});
}

void SayNoMailClient(const QString& subject) {
    ShowDesktopNotice(QStringLiteral("No mail client could start a message with \u201c%1\u201d "
                                     "attached. Choose one for e-mail in your desktop's default "
                                     "applications.")
                          .arg(subject));
}

bool ComposeWithXdgEmail(const QStringList& paths, const QString& subject) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        SayNoMailClient(subject);
        return false;
    }
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject};
    for (const QString& path : paths)
        arguments << QStringLiteral("--attach") << path;
    // xdg-email ends once the client has the message, or at once with a status when there is
    // none for mailto: links. Without a parent, so that quitting Velmora never stops it.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, subject](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             SayNoMailClient(subject);
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, subject](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         SayNoMailClient(subject);
                         process->deleteLater();
                     });
    process->start();
    return true;
}

} // namespace platform::linuxdesk
