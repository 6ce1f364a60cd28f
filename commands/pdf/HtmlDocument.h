// HTML read for printing, whose pictures and style sheets come only from the HTML file's own
// folder.
//
// Qt's own loader reads any local file a page names (an absolute path, a file: URL, a path
// relative to Velmora's working folder) and decodes it whole; a page could make Velmora print
// a private picture the user never selected, or read a device without end. Here a resource is
// read only when it is a regular file inside the folder or below it, reached without leaving
// it (ReadOnlyFile.h's ConfinedFolder), within the bounds below; anything else (other
// folders, devices, FIFOs, http: and data: URLs) is not drawn. A picture that is not drawn
// stands as a transparent dot, so that Qt does not go looking for the file itself.
#pragma once

#include "platform/local/files/ReadOnlyFile.h"

#include <QImage>
#include <QString>
#include <QTextDocument>
#include <optional>

// At most this many pictures and style sheets are read for one document, of at most this many
// bytes together: a saved web page brings a few dozen, of a few megabytes.
inline constexpr int kMaxHtmlResources = 100;
inline constexpr qint64 kMaxHtmlResourceBytes = qint64(64) << 20;
// A style sheet longer than this is not read; real ones run to some hundreds of kilobytes.
inline constexpr qint64 kMaxStyleSheetBytes = qint64(1) << 20;
// A picture is decoded with at most this many pixels (enough for 300 dots an inch across a
// page), and all of a document's pictures together with at most the second number, so that
// they hold at most 128 MB; a picture keeps its own size on the page.
inline constexpr qint64 kMaxHtmlPicturePixels = 4'000'000;
inline constexpr qint64 kMaxHtmlPixels = 32'000'000;

class HtmlDocument : public QTextDocument {
public:
    // `folder` is the HTML file's folder: relative sources resolve against it.
    explicit HtmlDocument(const QString& folder);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::optional<QByteArray> read(const QUrl& name, qint64 maxSize);
    std::optional<QImage> readPicture(const QUrl& name);

    QString m_folder;
    ConfinedFolder m_files;
    int m_reads = 0;
    qint64 m_bytes = 0;
    qint64 m_pixels = 0;
};
