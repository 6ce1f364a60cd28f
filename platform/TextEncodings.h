// Texts stored in the classic Mac OS Roman encoding (script resources, the legacy scrap).
#pragma once

#include <QByteArray>
#include <QString>

// Every byte stands for one character, so decoding never fails.
QString MacRomanText(const QByteArray& bytes);
