#include "common/ClipboardText.h"

#include "platform/local/text/TextEncodings.h"
#include "platform/services/AlertService.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

const QString kTextFlavors[] = {kUTTypeUTF8PlainText, kUTTypeUTF16ExternalPlainText,
                                kUTTypeUTF16PlainText, kUTTypeText};

struct FlavorData {
    QString flavor;
    QByteArray bytes;
};

// A C string's terminator, which some programs put on the clipboard with the text, is no part
// of it.
template <typename Text> Text withoutTerminators(Text text) {
    while (!text.isEmpty() && text.back() == 0)
        text.chop(1);
    return text;
}

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    return DecodeUtf8Exactly(withoutTerminators(bytes));
}

// In the byte order its byte-order mark names, host order without one.
std::optional<QString> decodeUtf16(const QByteArray& bytes) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return withoutTerminators(text);
}

// The bytes read as the flavor says they are, and only so: bytes of one encoding are never
// taken for another's (UTF-8 "ab\0c" read as UTF-16 would be two Chinese characters). A NUL
// inside the text stays, and whoever uses the text as a name refuses it as it refuses "/".
std::optional<QString> decodeFlavor(const FlavorData& data) {
    if (data.flavor == kUTTypeUTF16ExternalPlainText || data.flavor == kUTTypeUTF16PlainText)
        return decodeUtf16(data.bytes);
    // UTF-8, and plain text without a declared encoding, which Linux programs write as UTF-8.
    return decodeUtf8(data.bytes);
}

std::optional<QString> scrapText() {
    ScrapRef scrap = nullptr;
    long size = 0;
    if (GetCurrentScrap(&scrap) != noErr ||
        GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) != noErr || size < 1)
        return std::nullopt;
    QByteArray buffer(size + 1, '\0');
    if (GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, buffer.data()) != noErr)
        return std::nullopt;
    // The legacy scrap holds C strings: the text ends at the first NUL.
    const QByteArray text(buffer.constData());
    if (auto decoded = decodeUtf8(text))
        return decoded;
    return MacRomanText(text);
}

bool hasUtf8Form(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

namespace {

std::optional<FlavorData> firstTextFlavor(PasteboardRef pasteboard) {
    PasteboardSynchronize(pasteboard);
    ItemCount count = 0;
    if (PasteboardGetItemCount(pasteboard, &count) != noErr)
        return std::nullopt;
    for (CFIndex index = 1; index <= CFIndex(count); ++index) {
        PasteboardItemID item = 0;
        if (PasteboardGetItemIdentifier(pasteboard, index, &item) != noErr)
            continue;
        for (const QString& flavor : kTextFlavors) {
            QByteArray data;
            if (PasteboardCopyItemFlavorData(pasteboard, item, flavor, &data) == noErr)
                return FlavorData{flavor, data};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> PasteboardContainsText(PasteboardRef pasteboard) {
    if (auto found = firstTextFlavor(pasteboard))
        return found->bytes;
    return std::nullopt;
}

std::optional<QString> ClipboardText(bool useScrap) {
    std::optional<QString> text;
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) == noErr) {
        const auto data = firstTextFlavor(pasteboard);
        if (data && !data->bytes.isEmpty())
            text = decodeFlavor(*data);
    }
    if (!useScrap || text)
        return text;
    return scrapText();
}

OSStatus PutStringOnPasteboard(const QString& text) {
    PasteboardRef pasteboard = nullptr;
    const OSStatus status = PasteboardCreate(kPasteboardClipboard, &pasteboard);
    if (status != noErr)
        return status;
    PasteboardClear(pasteboard);
    if (hasUtf8Form(text))
        return PasteboardPutItemFlavor(pasteboard, 1, kUTTypeUTF8PlainText, text.toUtf8(),
                                       kPasteboardFlavorNoFlags);
    RunStopAlert(QStringLiteral("The data could not be put on the clipboard."), QStringLiteral(" "),
                 {QStringLiteral("OK")});
    return paramErr;
}

std::unique_ptr<char16_t[]> GetUnicodeString(const QString& text, long* length) {
    const qsizetype units = text.size();
    auto buffer = std::make_unique<char16_t[]>(size_t(std::max<qsizetype>(units, 1)));
    std::memcpy(buffer.get(), text.utf16(), size_t(units) * sizeof(char16_t));
    if (length)
        *length = long(units);
    return buffer;
}
