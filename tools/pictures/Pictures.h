// The menu's picture resources, drawn as vector shapes in one style so that they read as a family
// and stay legible when the menu shows them at 16 pixels.
#pragma once

#include <QImage>
#include <QString>

#include <span>

class QPainter;

namespace pictures {

struct Picture {
    QString fileName;
    int pixels;              // width and height of the written image
    qreal units;             // side of the design grid the drawing is written in
    void (*draw)(QPainter&); // draws into a units × units square
};

// The status item's picture first, then the command pictures.
std::span<const Picture> all();

// Renders at four times the size and scales down, so that edges are smoothly anti-aliased.
// The result is ARGB32 on a transparent background.
QImage render(const Picture& picture);

} // namespace pictures
