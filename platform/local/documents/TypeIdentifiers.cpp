#include "platform/local/documents/TypeIdentifiers.h"

#include <QMimeDatabase>

std::optional<QString> UTTypeCreatePreferredIdentifierForExtension(const QString& extension) {
    if (extension.isEmpty())
        return std::nullopt;
    // Only the glob patterns answer for a bare name; the first is shared-mime-info's preferred.
    const QList<QMimeType> types =
        QMimeDatabase().mimeTypesForFileName(QStringLiteral("x.") + extension);
    if (types.isEmpty())
        return std::nullopt;
    return types.first().name();
}

std::optional<QString> UTTypeCopyPreferredMimeType(const QString& identifier) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(identifier);
    if (!type.isValid())
        return std::nullopt;
    return type.name();
}

bool UTTypeConformsTo(const QString& identifier, const QString& conformsTo) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(identifier);
    return type.isValid() && type.inherits(conformsTo);
}
