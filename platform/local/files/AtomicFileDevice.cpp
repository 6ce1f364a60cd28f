#include "platform/local/files/AtomicFileDevice.h"

#include <QFile>

namespace platform {

AtomicFileDevice::AtomicFileDevice(AtomicFile& file) : m_file(file) {
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 AtomicFileDevice::writeData(const char* data, qint64 size) {
    if (size < 0 || !m_file.write(data, std::size_t(size))) {
        setErrorString(QString::fromStdString(m_file.errorString()));
        return -1;
    }
    return size;
}

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes,
                         AtomicFile::Existing existing, AtomicFile::Permissions permissions,
                         QString* error) {
    AtomicFile file(FileSystemPath(path), existing, permissions);
    if (file.write(bytes.constData(), std::size_t(bytes.size())) && file.commit())
        return true;
    if (error)
        *error = QString::fromStdString(file.errorString());
    return false;
}

} // namespace platform
