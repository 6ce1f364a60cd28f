// The one writer (AtomicFile.h) for Qt's side: a device that Qt's writers (pictures, PDF) write
// into, and whole files written from a QByteArray.
#pragma once

#include "platform/local/files/AtomicFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace platform {

// Writes go straight into the file, in order; the device cannot seek, so a writer that would
// need to go back fails instead of writing in the wrong place.
class AtomicFileDevice : public QIODevice {
public:
    // Opened for writing at once.
    explicit AtomicFileDevice(AtomicFile& file);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    AtomicFile& m_file;
};

// The path as the file system names it.
std::string FileSystemPath(const QString& path);

// The bytes as the whole content of the file at `path`; false when it could not be written,
// `error` (when given) then gets the reason in words.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes,
                         AtomicFile::Existing existing = AtomicFile::Existing::Replace,
                         AtomicFile::Permissions permissions = AtomicFile::Permissions::AsBefore,
                         QString* error = nullptr);

} // namespace platform
