#include "common/ImageScaling.h"

#include <QPainter>
#include <algorithm>

std::optional<QImage> imageByScalingProportionallyToSize(const QImage& image, QSize target) {
    if (image.isNull() || target.isEmpty())
        return std::nullopt;
    QImage result(target, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return std::nullopt;
    result.fill(Qt::transparent);

    const float w = float(image.width());
    const float h = float(image.height());
    const float W = float(target.width());
    const float H = float(target.height());
    float x = 0.0f;
    float y = 0.0f;
    float drawnWidth = w;
    float drawnHeight = h;
    if (image.size() != target) {
        const float fw = W / w;
        const float fh = H / h;
        const float f = std::min(fw, fh);
        drawnWidth = w * f;
        drawnHeight = h * f;
        // Centring is symmetric, so the offset is the same from the top as from the bottom.
        if (fh > fw)
            y = (H - drawnHeight) / 2.0f;
        else if (fw > fh)
            x = (W - drawnWidth) / 2.0f;
    }

    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(x, y, drawnWidth, drawnHeight), image);
    painter.end();
    return result;
}
