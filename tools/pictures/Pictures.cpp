#include "tools/pictures/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace pictures {
namespace {

// The shared palette. Bodies are outlined in ink; glyphs on coloured bodies are drawn in paper.
const QColor kInk(0x26, 0x2e, 0x38);
const QColor kSlate(0x5d, 0x6b, 0x7c);
const QColor kPaper(0xf9, 0xfa, 0xfb);
const QColor kSteel(0xab, 0xb5, 0xc1);
const QColor kBlue(0x2f, 0x7b, 0xd8);
const QColor kGreen(0x2f, 0x9e, 0x4f);
const QColor kRed(0xd9, 0x3d, 0x32);
const QColor kAmber(0xf0, 0xa1, 0x32);
const QColor kSky(0x93, 0xc9, 0xf2);
const QColor kGrass(0x55, 0xb0, 0x5e);

// One line width and two corner radii for every picture, in units of the 32 grid.
constexpr qreal kStroke = 1.5;
// Symbols on badges and the like are a little heavier, so that they survive scaling to 16.
constexpr qreal kMarkStroke = 2.0;
constexpr qreal kRadius = 3.0;
constexpr qreal kSmallRadius = 1.5;
constexpr qreal kBadgeRadius = 6.5;

constexpr int kOversampling = 4;

QPen inkPen() {
    return QPen(kInk, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The light comes from above: every body is a little lighter at its top than at its bottom.
QBrush lit(const QColor& color, const QRectF& bounds) {
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, color.lighter(115));
    gradient.setColorAt(1, color.darker(108));
    return gradient;
}

void body(QPainter& p, const QPainterPath& path, const QColor& color) {
    p.setPen(inkPen());
    p.setBrush(lit(color, path.boundingRect()));
    p.drawPath(path);
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void stroke(QPainter& p, const QColor& color, const QPainterPath& path) {
    p.setPen(QPen(color, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void bar(QPainter& p, const QColor& color, QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    stroke(p, color, path);
}

// Lines of text on a page or a card, as bars that stay legible where letters would not.
void textLines(QPainter& p, const QRectF& r, int count, const QColor& color = kSteel) {
    const qreal step = r.height() / count;
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + step * (i + 0.5);
        const qreal right = (i == count - 1 && count > 1) ? r.left() + r.width() * 0.6 : r.right();
        bar(p, color, QPointF(r.left(), y), QPointF(right, y));
    }
}

// Clears a ring around where a badge or a front object goes, so that it stands apart from what it
// overlaps on any background.
void knockOut(QPainter& p, const QPainterPath& shape) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, kStroke * 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(shape);
    p.restore();
}

// A document with its top right corner folded; returns the area for its content.
QRectF page(QPainter& p, const QRectF& r) {
    const qreal fold = std::min(5.0, r.width() * 0.35);
    const qreal c = kSmallRadius;
    QPainterPath outline;
    outline.moveTo(r.left() + c, r.top());
    outline.lineTo(r.right() - fold, r.top());
    outline.lineTo(r.right(), r.top() + fold);
    outline.lineTo(r.right(), r.bottom() - c);
    outline.quadTo(r.bottomRight(), QPointF(r.right() - c, r.bottom()));
    outline.lineTo(r.left() + c, r.bottom());
    outline.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - c));
    outline.lineTo(r.left(), r.top() + c);
    outline.quadTo(r.topLeft(), QPointF(r.left() + c, r.top()));
    outline.closeSubpath();
    body(p, outline, kPaper);

    QPainterPath flap;
    flap.moveTo(r.right() - fold, r.top());
    flap.lineTo(r.right() - fold, r.top() + fold);
    flap.lineTo(r.right(), r.top() + fold);
    flap.closeSubpath();
    body(p, flap, kSteel);
    return r.adjusted(2.5, fold + 1.5, -2.5, -2.5);
}

// A picture: sky, sun and hills, framed by an ink outline.
void landscape(QPainter& p, const QRectF& r, qreal radius = kSmallRadius) {
    const QPainterPath frame = roundedRect(r, radius);
    p.save();
    p.setClipPath(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kSky, r));
    p.drawRect(r);
    p.setBrush(lit(kAmber, r));
    const qreal sunRadius = std::max(1.6, r.height() * 0.15);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.7, r.top() + r.height() * 0.32), sunRadius,
                  sunRadius);
    QPainterPath hills(QPointF(r.left(), r.bottom()));
    hills.lineTo(r.left(), r.top() + r.height() * 0.72);
    hills.quadTo(QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.42),
                 QPointF(r.left() + r.width() * 0.58, r.top() + r.height() * 0.7));
    hills.quadTo(QPointF(r.left() + r.width() * 0.8, r.top() + r.height() * 0.55),
                 QPointF(r.right(), r.top() + r.height() * 0.66));
    hills.lineTo(r.bottomRight());
    hills.closeSubpath();
    p.setBrush(lit(kGrass, hills.boundingRect()));
    p.drawPath(hills);
    p.restore();
    stroke(p, kInk, frame);
}

// A clipboard: a board with a sheet held by a clip; returns the sheet.
QRectF clipboard(QPainter& p, const QRectF& r) {
    body(p, roundedRect(r, kRadius), kAmber);
    const QRectF sheet = r.adjusted(2.5, 4.5, -2.5, -2.5);
    body(p, roundedRect(sheet, 0.5), kPaper);
    const qreal clipWidth = r.width() * 0.5;
    body(p,
         roundedRect(QRectF(r.center().x() - clipWidth / 2, r.top() - 1.5, clipWidth, 4.5),
                     kSmallRadius),
         kSteel);
    return sheet;
}

void globe(QPainter& p, QPointF c, qreal radius) {
    body(p, circle(c, radius), kBlue);
    p.save();
    p.setClipPath(circle(c, radius - kStroke / 2));
    QPainterPath lines;
    lines.addEllipse(c, radius * 0.45, radius);
    lines.moveTo(c.x(), c.y() - radius);
    lines.lineTo(c.x(), c.y() + radius);
    lines.moveTo(c.x() - radius, c.y());
    lines.lineTo(c.x() + radius, c.y());
    for (const qreal dy : {-0.55, 0.55}) {
        const qreal y = c.y() + radius * dy;
        const qreal half = radius * 0.835;
        lines.moveTo(c.x() - half, y);
        lines.lineTo(c.x() + half, y);
    }
    stroke(p, kPaper, lines);
    p.restore();
    stroke(p, kInk, circle(c, radius));
}

enum class Glyph { Plus, Cross, Arrow, Info };

// A round badge in a corner, saying what the command does to the object it sits on.
void badge(QPainter& p, QPointF c, const QColor& color, Glyph glyph) {
    const QPainterPath disc = circle(c, kBadgeRadius);
    knockOut(p, disc);
    body(p, disc, color);
    const qreal a = 3.0;
    QPainterPath mark;
    switch (glyph) {
    case Glyph::Plus:
        mark.moveTo(c.x() - a, c.y());
        mark.lineTo(c.x() + a, c.y());
        mark.moveTo(c.x(), c.y() - a);
        mark.lineTo(c.x(), c.y() + a);
        break;
    case Glyph::Cross:
        mark.moveTo(c.x() - a * 0.75, c.y() - a * 0.75);
        mark.lineTo(c.x() + a * 0.75, c.y() + a * 0.75);
        mark.moveTo(c.x() + a * 0.75, c.y() - a * 0.75);
        mark.lineTo(c.x() - a * 0.75, c.y() + a * 0.75);
        break;
    case Glyph::Arrow:
        mark.moveTo(c.x() - a, c.y());
        mark.lineTo(c.x() + a, c.y());
        mark.moveTo(c.x() + a * 0.1, c.y() - a * 0.9);
        mark.lineTo(c.x() + a, c.y());
        mark.lineTo(c.x() + a * 0.1, c.y() + a * 0.9);
        break;
    case Glyph::Info:
        mark.moveTo(c.x(), c.y() - 0.5);
        mark.lineTo(c.x(), c.y() + a);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(c.x(), c.y() - a + 0.2), 1.1, 1.1);
        break;
    }
    p.setPen(QPen(kPaper, kMarkStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
}

// A text cursor, the I-beam of a text field.
void textCursor(QPainter& p, const QColor& color, qreal x, qreal top, qreal bottom) {
    QPainterPath beam;
    beam.moveTo(x, top);
    beam.lineTo(x, bottom);
    beam.moveTo(x - 1.5, top);
    beam.lineTo(x + 1.5, top);
    beam.moveTo(x - 1.5, bottom);
    beam.lineTo(x + 1.5, bottom);
    p.setPen(QPen(color, kMarkStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(beam);
}

void drawStatusItem(QPainter& p) {
    // Drawn on a 22 grid: the tray shows it at 22 or 16 pixels. A blue tile with a paper chevron
    // reads on light and dark panels alike, and the chevron is the menu it opens.
    const QRectF tile(1.5, 1.5, 19, 19);
    p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(lit(kBlue, tile));
    p.drawRoundedRect(tile, 4.5, 4.5);
    QPainterPath chevron(QPointF(6, 8.5));
    chevron.lineTo(11, 14.5);
    chevron.lineTo(16, 8.5);
    p.setPen(QPen(kPaper, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

void drawImageCopy(QPainter& p) {
    const QRectF sheet = clipboard(p, QRectF(5, 4, 22, 26));
    landscape(p, sheet.adjusted(1.5, 1.5, -1.5, -1.5), 0.5);
}

void drawMovieInfo(QPainter& p) {
    // A clapperboard: a slate below a striped clapper stick opened upwards.
    const QRectF slate(3, 13, 24, 15);
    body(p, roundedRect(slate, kSmallRadius), kSlate);
    textLines(p, QRectF(6.5, 17, 11, 8), 2);

    QPainterPath stick;
    stick.addRoundedRect(QRectF(3, 7, 24, 5), 1, 1);
    QTransform open;
    open.translate(3, 12);
    open.rotate(-12);
    open.translate(-3, -12);
    stick = open.map(stick);
    body(p, stick, kPaper);
    p.save();
    p.setClipPath(stick);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int i = 0; i < 4; ++i) {
        QPainterPath stripe;
        const qreal x = 6 + i * 6.5;
        stripe.moveTo(x, 13);
        stripe.lineTo(x + 3, 13);
        stripe.lineTo(x + 7, 0);
        stripe.lineTo(x + 4, 0);
        stripe.closeSubpath();
        p.drawPath(open.map(stripe));
    }
    p.restore();
    stroke(p, kInk, stick);

    badge(p, QPointF(24.5, 24.5), kBlue, Glyph::Info);
}

// A clipboard holding a picture, with a file's icon in front of it; the icon's content area.
QRectF clipboardBehindIcon(QPainter& p) {
    const QRectF sheet = clipboard(p, QRectF(2, 4, 18, 22));
    landscape(p, sheet.adjusted(1, 1, -1, -1), 0.5);
    const QRectF icon(16, 9, 14, 20);
    knockOut(p, roundedRect(icon, kSmallRadius));
    return page(p, icon);
}

void drawClipToIcon(QPainter& p) {
    const QRectF content = clipboardBehindIcon(p);
    landscape(p, content.adjusted(-0.5, 0, 0.5, 0));
    badge(p, QPointF(8, 24.5), kBlue, Glyph::Arrow);
}

void drawAddClipToIcon(QPainter& p) {
    const QRectF content = clipboardBehindIcon(p);
    textLines(p, content.adjusted(0, 0, 0, -6), 2);
    landscape(p, QRectF(content.left() + 3, content.bottom() - 7, content.width() - 2.5, 7.5));
    badge(p, QPointF(8, 24.5), kGreen, Glyph::Plus);
}

void drawAddWebIcon(QPainter& p) {
    const QRectF content = page(p, QRectF(3, 2, 17, 22));
    textLines(p, content.adjusted(0, 0, -3, -4), 3);
    const QPointF centre(20.5, 20.5);
    knockOut(p, circle(centre, 9));
    globe(p, centre, 9);
}

void drawRemoveCustomIcons(QPainter& p) {
    const QRectF content = page(p, QRectF(5, 2, 20, 26));
    landscape(p, content.adjusted(-0.5, 0, 0.5, 0));
    badge(p, QPointF(24.5, 24.5), kRed, Glyph::Cross);
}

void drawIcon2Image(QPainter& p) {
    const QRectF image(9, 9, 21, 21);
    landscape(p, image, kRadius);
    // The small icon, and the arrow that grows it into the large image.
    const QRectF icon(2, 2, 10, 12);
    knockOut(p, roundedRect(icon, kSmallRadius));
    page(p, icon);
    QPainterPath arrow(QPointF(14.5, 16.5));
    arrow.lineTo(25, 27);
    arrow.moveTo(25, 21.5);
    arrow.lineTo(25, 27);
    arrow.lineTo(19.5, 27);
    p.setPen(QPen(kPaper, kMarkStroke * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
    p.setPen(QPen(kBlue, kMarkStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
}

void drawFilenames(QPainter& p) {
    // A name tag with its text selected for editing and the text cursor after it.
    p.translate(16, 16);
    p.rotate(-20);
    p.translate(-16, -16);
    QPainterPath tag;
    tag.moveTo(3, 16);
    tag.lineTo(9, 8.5);
    tag.lineTo(29 - kRadius, 8.5);
    tag.quadTo(QPointF(29, 8.5), QPointF(29, 8.5 + kRadius));
    tag.lineTo(29, 23.5 - kRadius);
    tag.quadTo(QPointF(29, 23.5), QPointF(29 - kRadius, 23.5));
    tag.lineTo(9, 23.5);
    tag.closeSubpath();
    tag.addEllipse(QPointF(8.5, 16), 1.6, 1.6);
    body(p, tag, kAmber);
    const QRectF selection(12, 12, 10.5, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kBlue, selection));
    p.drawRoundedRect(selection, 1, 1);
    bar(p, kPaper, QPointF(14.5, 16), QPointF(20, 16));
    textCursor(p, kInk, 25.5, 11.5, 20.5);
}

void drawEmailItems(QPainter& p) {
    // An open envelope with a document in its pocket.
    const QRectF envelope(2, 11, 28, 17);
    body(p, roundedRect(envelope, kSmallRadius), kSteel);
    const QRectF content = page(p, QRectF(8, 3, 16, 18));
    textLines(p, content.adjusted(0, 0, 0, -2), 2);
    QPainterPath pocket;
    pocket.moveTo(envelope.left(), envelope.top() + 2.5);
    pocket.lineTo(envelope.center().x(), envelope.top() + 10);
    pocket.lineTo(envelope.right(), envelope.top() + 2.5);
    pocket.lineTo(envelope.right(), envelope.bottom() - kSmallRadius);
    pocket.quadTo(envelope.bottomRight(),
                  QPointF(envelope.right() - kSmallRadius, envelope.bottom()));
    pocket.lineTo(envelope.left() + kSmallRadius, envelope.bottom());
    pocket.quadTo(envelope.bottomLeft(),
                  QPointF(envelope.left(), envelope.bottom() - kSmallRadius));
    pocket.closeSubpath();
    body(p, pocket, kBlue);
}

void drawCombineFiles(QPainter& p) {
    // Two pages fanned out behind the one they are combined into.
    const auto fanned = [&p](qreal angle, QPointF pivot, const QRectF& r) {
        p.save();
        p.translate(pivot);
        p.rotate(angle);
        p.translate(-pivot);
        const QRectF content = page(p, r);
        textLines(p, content, 3);
        p.restore();
    };
    fanned(-14, QPointF(16, 28), QRectF(5, 3, 14, 18));
    fanned(14, QPointF(16, 28), QRectF(13, 3, 14, 18));
    const QRectF front(8, 9, 16, 21);
    knockOut(p, roundedRect(front, kSmallRadius));
    const QRectF content = page(p, front);
    textLines(p, QRectF(content.left(), content.top(), content.width(), 4), 2);
    const QRectF band(front.left() + kStroke / 2, front.bottom() - 9, front.width() - kStroke, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kRed, band));
    p.drawRect(band);
    bar(p, kPaper, QPointF(band.left() + 3, band.center().y()),
        QPointF(band.right() - 3, band.center().y()));
}

void drawListCompletions(QPainter& p) {
    // A word being typed, and the list of words that complete it.
    const QRectF field(2, 2, 22, 9);
    body(p, roundedRect(field, kRadius), kPaper);
    bar(p, kInk, QPointF(5.5, 6.5), QPointF(10, 6.5));
    textCursor(p, kBlue, 12.5, 4, 9);
    const QRectF list(6, 13, 24, 17);
    body(p, roundedRect(list, kRadius), kPaper);
    const QRectF chosen(list.left() + 2, list.top() + 2, list.width() - 4, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kBlue, chosen));
    p.drawRoundedRect(chosen, 1, 1);
    bar(p, kPaper, QPointF(chosen.left() + 2.5, chosen.center().y()),
        QPointF(chosen.right() - 5, chosen.center().y()));
    bar(p, kSlate, QPointF(list.left() + 4.5, list.top() + 10),
        QPointF(list.right() - 7, list.top() + 10));
    bar(p, kSlate, QPointF(list.left() + 4.5, list.top() + 13.5),
        QPointF(list.right() - 10, list.top() + 13.5));
}

void drawAddToAddressBook(QPainter& p) {
    const QRectF card(2, 5, 26, 21);
    body(p, roundedRect(card, kRadius), kPaper);
    p.save();
    p.setClipPath(roundedRect(card.adjusted(0.75, 0.75, -0.75, -0.75), kRadius));
    QPainterPath person;
    person.addEllipse(QPointF(10, 12.5), 3.2, 3.2);
    QPainterPath shoulders(QPointF(3.5, 26));
    shoulders.cubicTo(QPointF(3.5, 18), QPointF(16.5, 18), QPointF(16.5, 26));
    shoulders.closeSubpath();
    person.addPath(shoulders);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kBlue, person.boundingRect()));
    p.drawPath(person);
    p.restore();
    stroke(p, kInk, roundedRect(card, kRadius));
    textLines(p, QRectF(18, 9, 6.5, 7), 2);
    badge(p, QPointF(24.5, 24.5), kGreen, Glyph::Plus);
}

void drawDesktopPictures(QPainter& p) {
    body(p, roundedRect(QRectF(12.5, 23, 7, 5), 0.5), kSteel);
    body(p, roundedRect(QRectF(8, 27, 16, 3), kSmallRadius), kSteel);
    const QRectF monitor(2, 4, 28, 20);
    body(p, roundedRect(monitor, kRadius), kSlate);
    landscape(p, monitor.adjusted(2.5, 2.5, -2.5, -2.5), 0.5);
}

void drawCopyTitle(QPainter& p) {
    // A browser window whose title is selected for copying.
    const QRectF window(2, 4, 28, 25);
    const QPainterPath outline = roundedRect(window, kRadius);
    body(p, outline, kPaper);
    p.save();
    p.setClipPath(outline);
    const QRectF titleBar(window.left(), window.top(), window.width(), 9);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kSteel, titleBar));
    p.drawRect(titleBar);
    p.restore();
    bar(p, kInk, QPointF(window.left(), titleBar.bottom()),
        QPointF(window.right(), titleBar.bottom()));
    stroke(p, kInk, outline);
    const QRectF title(8, 6, 19, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(lit(kBlue, title));
    p.drawRoundedRect(title, 1, 1);
    bar(p, kPaper, QPointF(title.left() + 2.5, title.center().y()),
        QPointF(title.right() - 2.5, title.center().y()));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(5, titleBar.center().y()), 1.2, 1.2);
    textLines(p, QRectF(5.5, 16, 21, 10), 3);
}

const std::array kPictures{
    Picture{QStringLiteral("Velmora.tif"), 44, 22, drawStatusItem},
    Picture{QStringLiteral("ImageCopy32.tif"), 32, 32, drawImageCopy},
    Picture{QStringLiteral("MovieInfo32.tif"), 32, 32, drawMovieInfo},
    Picture{QStringLiteral("ClipToIcon32.tif"), 32, 32, drawClipToIcon},
    Picture{QStringLiteral("AddClipToIcon32.tif"), 32, 32, drawAddClipToIcon},
    Picture{QStringLiteral("AddWebIcon32.tif"), 32, 32, drawAddWebIcon},
    Picture{QStringLiteral("RemoveCustomIcons32.tif"), 32, 32, drawRemoveCustomIcons},
    Picture{QStringLiteral("Icon2Image32.tif"), 32, 32, drawIcon2Image},
    Picture{QStringLiteral("Filenames32.tif"), 32, 32, drawFilenames},
    Picture{QStringLiteral("EmailItems32.tif"), 32, 32, drawEmailItems},
    Picture{QStringLiteral("CombineFiles32.tif"), 32, 32, drawCombineFiles},
    Picture{QStringLiteral("ListCompletions32.tif"), 32, 32, drawListCompletions},
    Picture{QStringLiteral("AddToAddressBook32.tif"), 32, 32, drawAddToAddressBook},
    Picture{QStringLiteral("DesktopPictures32.tif"), 32, 32, drawDesktopPictures},
    Picture{QStringLiteral("CopyTitle32.tif"), 32, 32, drawCopyTitle},
};

} // namespace

std::span<const Picture> all() {
    return kPictures;
}

QImage render(const Picture& picture) {
    const int large = picture.pixels * kOversampling;
    // Premultiplied, so that scaling down averages colour and coverage without dark fringes.
    QImage canvas(large, large, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(large / picture.units, large / picture.units);
        picture.draw(p);
    }
    return canvas
        .scaled(picture.pixels, picture.pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace pictures
