#include "SelectArguments.h"

#include "platform/linux/SelectionFile.h"
#include "platform/local/files/FileUri.h"

#include <QList>

#include <vector>

namespace velmora::select {

namespace {

// "scheme://": a relative file name could hold "name:" but never "//" after it, so this tells
// URIs from the relative names Nautilus passes, such as "notes:2024.txt".
bool looksLikeUri(const QByteArray& argument) {
    const qsizetype colon = argument.indexOf(':');
    if (colon < 1 || argument.mid(colon + 1, 2) != "//")
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const char c = argument[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return false;
    }
    return true;
}

} // namespace

ArgumentPath resolveArgument(const QByteArray& argument, const QByteArray& currentDir) {
    if (argument.isEmpty())
        return {{}, "an empty argument names no file"};
    if (looksLikeUri(argument)) {
        if (argument.first(argument.indexOf(':')).compare("file", Qt::CaseInsensitive) != 0)
            return {{}, "not a local file"};
        if (std::optional<QByteArray> path = platform::decodeFileUri(argument))
            return {lexicallyNormal(*path), {}};
        return {{}, "not a valid local file URI"};
    }
    if (argument.startsWith('/'))
        return {lexicallyNormal(argument), {}};
    if (currentDir.isEmpty())
        return {{}, "a relative path, and the current folder cannot be determined"};
    return {lexicallyNormal(currentDir + '/' + argument), {}};
}

QByteArray lexicallyNormal(const QByteArray& absolutePath) {
    std::vector<QByteArray> components;
    for (const QByteArray& component : absolutePath.split('/')) {
        if (component.isEmpty() || component == ".")
            continue;
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    QByteArray normal;
    for (const QByteArray& component : components)
        normal += '/' + component;
    return normal.isEmpty() ? QByteArray("/") : normal;
}

} // namespace velmora::select
