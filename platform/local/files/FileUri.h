// File URIs (file:///path) as the desktop passes files around, with paths as raw bytes: a
// Linux file name may be any bytes but NUL and '/', so nothing here goes through QString.
#pragma once

#include <QByteArray>
#include <optional>
#include <string_view>

namespace platform {

// "file://" + the path with every byte except unreserved characters, '/' and those of
// `alsoKept` percent-encoded.
QByteArray encodeFileUri(const QByteArray& absolutePath, std::string_view alsoKept = {});

// The raw path bytes of "file:///path" or "file://localhost/path" (scheme and host in any
// case, one trailing CR tolerated); nullopt for anything else, including other schemes and
// hosts, relative or empty paths, malformed escapes, control bytes and an escaped NUL.
std::optional<QByteArray> decodeFileUri(const QByteArray& line);

} // namespace platform
