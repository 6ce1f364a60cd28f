#include "platform/TextEncodings.h"

#include "foundation/MacRoman.h"

QString MacRomanText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(QChar(MacRomanCharacter(static_cast<unsigned char>(byte))));
    return text;
}
