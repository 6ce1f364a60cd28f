// Laying out a scenario's files in the world, and describing a folder tree afterwards.
#pragma once

#include <QDir>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace platform::world {
class World;
}

namespace scenario {

class PathPolicy;

// Creates each entry of a "files" object under the world's root. `scenarioDir` is where
// "copy" sources are found; symbolic links may point only where `policy` allows. Returns an
// error text for a malformed entry.
std::optional<QString> CreateFiles(const QJsonObject& files, platform::world::World& world,
                                   const QDir& scenarioDir, const PathPolicy& policy);

// A plain picture of the size {"width": w, "height": h} names, encoded in the image format
// (PNG when the format cannot be written). None, with `error` set, for a size out of range.
std::optional<QByteArray> EncodedPicture(const QJsonObject& image, const QByteArray& format,
                                         QString* error);

// Every item under `folder`, keyed by its path relative to it ("docs/" for a folder), with its
// type, and for files their size, SHA-256, extension flag, custom icon and image size.
QJsonObject DescribeTree(const QString& folder, const platform::world::World& world);

} // namespace scenario
