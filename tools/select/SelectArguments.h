// Turning velmora-select's arguments into the absolute paths of the selection.
//
// File managers pass the selection in different forms: absolute paths, paths relative to the
// folder they start the action in (Nautilus, Caja), or URIs, including ones for places that are
// not local files (sftp://, trash:///), which cannot be selected for Velmora.
#pragma once

#include <QByteArray>

namespace velmora::select {

// What one argument names: an absolute local path, or an explanation of why it names none.
struct ArgumentPath {
    QByteArray path;
    QByteArray problem;
};

// currentDir resolves relative paths; empty when the current folder cannot be determined.
ArgumentPath resolveArgument(const QByteArray& argument, const QByteArray& currentDir);

// The absolute path with empty and "." components dropped and ".." applied to the text alone,
// without following symlinks: the user selected the link, not its target.
QByteArray lexicallyNormal(const QByteArray& absolutePath);

} // namespace velmora::select
