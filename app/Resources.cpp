#include "app/Resources.h"

#include "platform/Locations.h"
#include "platform/Platform.h"

#include <QImage>
#include <QPixmap>

std::optional<QIcon> imageNamed(const QString& name) {
    const QImage image(platform::locations().resourceDir() + QStringLiteral("/images/") + name);
    if (image.isNull())
        return std::nullopt;
    return QIcon(QPixmap::fromImage(image));
}
