// A review sheet of the pictures at the sizes a menu and a tray show them, on a light and a dark
// panel.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace pictures {

struct Rendered {
    QString fileName;
    QImage image;
};

QImage contactSheet(const QList<Rendered>& pictures);

} // namespace pictures
