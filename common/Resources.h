// The application's picture resources, found in the resource folder of the platform.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>

// The picture `name` from the images folder; none when it is missing or unreadable.
std::optional<QIcon> imageNamed(const QString& name);
