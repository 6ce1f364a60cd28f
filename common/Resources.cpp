#include "common/Resources.h"

#include "platform/services/Locations.h"

#include <QHash>
#include <QImage>
#include <QPixmap>

// Pictures are read once per path and kept, as the platform's named images are: they are the
// application's own files, and every rebuild of the menu asks for a dozen of them.
std::optional<QIcon> imageNamed(const QString& name) {
    static QHash<QString, std::optional<QIcon>> loaded;
    const QString path = NSBundleResourcePath() + QStringLiteral("/images/") + name;
    const auto found = loaded.constFind(path);
    if (found != loaded.constEnd())
        return *found;
    const QImage image(path);
    std::optional<QIcon> icon;
    if (!image.isNull())
        icon = QIcon(QPixmap::fromImage(image));
    loaded.insert(path, icon);
    return icon;
}
