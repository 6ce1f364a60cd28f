#include "tools/pictures/ContactSheet.h"

#include <QPainter>

namespace pictures {
namespace {

const QColor kLightPanel(0xf2, 0xf2, 0xf2);
const QColor kDarkPanel(0x2b, 0x2d, 0x31);
const QColor kLabel(0x30, 0x30, 0x30);

constexpr int kRowHeight = 40;
constexpr int kHeaderHeight = 28;
constexpr int kNameWidth = 190;
constexpr int kPanelWidth = 96;

// The menu shows a 32-pixel picture at 16 and the tray shows the status picture at 22 or 16, each
// scaled from the stored image; the sheet scales the same way.
QImage atSize(const QImage& image, int pixels) {
    return image.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage contactSheet(const QList<Rendered>& pictures) {
    const int width = kNameWidth + 2 * kPanelWidth;
    const int height = kHeaderHeight + kRowHeight * int(pictures.size());
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.fillRect(kNameWidth, 0, kPanelWidth, height, kLightPanel);
    p.fillRect(kNameWidth + kPanelWidth, 0, kPanelWidth, height, kDarkPanel);

    p.setPen(kLabel);
    p.drawText(QRect(8, 0, kNameWidth - 8, kHeaderHeight), Qt::AlignVCenter,
               QStringLiteral("Picture"));
    p.drawText(QRect(kNameWidth, 0, kPanelWidth, kHeaderHeight), Qt::AlignCenter,
               QStringLiteral("light"));
    p.setPen(kLightPanel);
    p.drawText(QRect(kNameWidth + kPanelWidth, 0, kPanelWidth, kHeaderHeight), Qt::AlignCenter,
               QStringLiteral("dark"));

    int y = kHeaderHeight;
    for (const Rendered& picture : pictures) {
        p.setPen(kLabel);
        p.drawText(QRect(8, y, kNameWidth - 8, kRowHeight), Qt::AlignVCenter, picture.fileName);
        // The status picture is shown at tray sizes, the others at their own size and at 16.
        const int large = picture.image.width() > 32 ? 22 : 32;
        for (int panel = 0; panel < 2; ++panel) {
            const int left = kNameWidth + panel * kPanelWidth;
            const int top = y + (kRowHeight - 32) / 2;
            p.drawImage(left + 12 + (32 - large) / 2, top + (32 - large) / 2,
                        atSize(picture.image, large));
            p.drawImage(left + 60, top + 8, atSize(picture.image, 16));
        }
        y += kRowHeight;
    }
    return sheet;
}

} // namespace pictures
