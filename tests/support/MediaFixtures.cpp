#include "tests/support/MediaFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QtEndian>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace fixtures {

bool WriteMovie(const QString& path) {
    QFile::remove(path);
    return QFile::copy(QStringLiteral(VELMORA_TEST_MOVIE), path);
}

bool WritePdf(const QString& path, const std::vector<QSizeF>& pages, const QString& label) {
    if (pages.empty())
        return false;
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(pages.front(), QPageSize::Point),
                                     QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(pages[i], QPageSize::Point));
            writer.newPage();
        }
        painter.drawText(QPointF(10, 30), QStringLiteral("%1 page %2").arg(label).arg(i + 1));
    }
    return painter.end();
}

bool WritePng(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(200, 80, 40));
    return image.save(path, "png");
}

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool WritePngHeaderOnly(const QString& path, quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray chunk("IHDR");
    chunk.append(char(0)).append(char(0)).append(char(0)).append(char(0));
    chunk.append(char(0)).append(char(0)).append(char(0)).append(char(0));
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk.append(char(8)).append(char(6)).append(char(0)).append(char(0)).append(char(0));
    char length[4];
    qToBigEndian(quint32(chunk.size() - 4), length);
    png.append(length, 4).append(chunk);
    char crc[4];
    qToBigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(chunk.size()))),
        crc);
    png.append(crc, 4);
    return WriteText(path, png);
}

bool WriteText(const QString& path, const QByteArray& text) {
    return WriteText(QFile::encodeName(path), text);
}

bool WriteText(const QByteArray& path, const QByteArray& text) {
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = write(fd, text.constData(), size_t(text.size())) == text.size();
    return close(fd) == 0 && written;
}

bool MakeMovie(const QString& path, const QStringList& arguments) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("/usr/bin/ffmpeg"),
                 QStringList{"-v", "error", "-y"} + arguments + QStringList{path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
}

bool SetPosterTime(const QString& path, quint32 seconds) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    // A version 0 header: the time scale 12 bytes into it, the poster time 80.
    const qsizetype header = bytes.indexOf("mvhd");
    if (header < 0 || bytes.size() < header + 4 + 84 || bytes[header + 4] != 0)
        return false;
    const quint32 scale = qFromBigEndian<quint32>(bytes.constData() + header + 4 + 12);
    qToBigEndian(quint32(seconds * scale), bytes.data() + header + 4 + 80);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

} // namespace fixtures
