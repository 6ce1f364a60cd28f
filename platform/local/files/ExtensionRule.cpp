#include "platform/local/files/ExtensionRule.h"

std::optional<qsizetype> ExtensionStartIndex(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return std::nullopt;
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        if (name.at(i).isSpace())
            return std::nullopt;
    }
    return dot + 1;
}

QString NameWithoutExtension(const QString& name) {
    const auto start = ExtensionStartIndex(name);
    return start ? name.left(*start - 1) : name;
}
