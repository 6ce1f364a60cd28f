#include "platform/local/documents/MimeMappingTable.h"

#include <QFile>
#include <QList>
#include <algorithm>
#include <cstring>

namespace {

void SetPascal(unsigned char* pascal, const QByteArray& bytes) {
    const auto length = std::min<qsizetype>(bytes.size(), 255);
    pascal[0] = static_cast<unsigned char>(length);
    std::memcpy(pascal + 1, bytes.constData(), size_t(length));
}

} // namespace

std::vector<ICMapEntry> ReadMimeMappingTable(const QString& path) {
    std::vector<ICMapEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (const qsizetype comment = line.indexOf('#'); comment >= 0)
            line.truncate(comment);
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || fields.first().isEmpty())
            continue;
        for (qsizetype i = 1; i < fields.size(); ++i) {
            ICMapEntry entry{};
            SetPascal(entry.extension, '.' + fields[i]);
            SetPascal(entry.MIMEType, fields.first());
            entries.push_back(entry);
        }
    }
    return entries;
}
