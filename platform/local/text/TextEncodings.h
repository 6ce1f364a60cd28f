// Decoding the texts the system reads: strict UTF-8, and the classic Mac OS Roman encoding in
// which script resources and the legacy scrap are stored.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Strict UTF-8 decoding: none when the bytes are not valid UTF-8.
std::optional<QString> DecodeUtf8Exactly(const QByteArray& bytes);

// Every byte stands for one character, so decoding never fails.
QString MacRomanText(const QByteArray& bytes);
