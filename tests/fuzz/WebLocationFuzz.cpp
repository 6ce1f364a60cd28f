// Any bytes given as a property list, an Internet shortcut or a desktop entry give an http or
// https address or none: the readers never crash, recurse or read outside the bytes.
#include "platform/local/documents/WebLocationFiles.h"

#include <QUrl>

#include <cstdint>
#include <cstdlib>

namespace {

void CheckWebAddress(const std::optional<QString>& address) {
    if (!address)
        return;
    const QString scheme = QUrl(*address).scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckWebAddress(PropertyListWebAddress(bytes));
    CheckWebAddress(InternetShortcutWebAddress(bytes));
    CheckWebAddress(DesktopLinkWebAddress(bytes));
    return 0;
}
