#include "platform/linux/LinuxMail.h"

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

bool ComposeWithXdgEmail(const QStringList& paths, const QString& subject) {
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject};
    for (const QString& path : paths)
        arguments << QStringLiteral("--attach") << path;
    return QProcess::startDetached(QStringLiteral("xdg-email"), arguments);
}

} // namespace platform::linuxdesk
