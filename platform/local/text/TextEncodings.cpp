#include "platform/local/text/TextEncodings.h"

#include "foundation/MacRoman.h"

#include <QStringDecoder>

std::optional<QString> DecodeUtf8Exactly(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString MacRomanText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(QChar(MacRomanCharacter(static_cast<unsigned char>(byte))));
    return text;
}
