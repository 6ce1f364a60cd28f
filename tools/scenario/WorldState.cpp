#include "tools/scenario/WorldState.h"

#include "platform/local/documents/FlavorTypes.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "tools/scenario/PathPolicy.h"
#include "tools/scenario/WorldFiles.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace scenario {

namespace {

using platform::world::World;

bool isUtf16Flavor(const QString& flavor) {
    return flavor == kUTTypeUTF16PlainText || flavor == kUTTypeUTF16ExternalPlainText;
}

// A text in the byte form its flavor stands for: UTF-16 with a big-endian byte-order mark for
// the external form, UTF-16 in host order for the other, UTF-8 for the rest.
QByteArray textBytes(const QString& flavor, const QString& text) {
    if (flavor == kUTTypeUTF16ExternalPlainText) {
        QStringEncoder encoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        return encoder.encode(text);
    }
    if (flavor == kUTTypeUTF16PlainText)
        return QByteArray(reinterpret_cast<const char*>(text.utf16()),
                          text.size() * qsizetype(sizeof(char16_t)));
    return text.toUtf8();
}

std::optional<QByteArray> flavorBytes(const QString& flavor, const QJsonValue& value,
                                      QString* error) {
    if (value.isString())
        return textBytes(flavor, value.toString());
    const QJsonObject form = value.toObject();
    if (value.isObject() && form.size() == 1 && form.contains(QStringLiteral("base64")))
        return QByteArray::fromBase64(form.value(QStringLiteral("base64")).toString().toLatin1());
    if (value.isObject() && form.size() == 1 && form.contains(QStringLiteral("image"))) {
        QByteArray format = ImageFormatForFlavor(flavor);
        if (format.isEmpty())
            format = "png";
        return EncodedPicture(form.value(QStringLiteral("image")).toObject(), format, error);
    }
    *error = QStringLiteral("clipboard: a flavor's value is a text, {\"base64\": ...} or "
                            "{\"image\": {...}}");
    return std::nullopt;
}

std::optional<QString> textOf(const QString& flavor, const QByteArray& bytes) {
    QStringDecoder decoder(isUtf16Flavor(flavor) ? QStringDecoder::Utf16 : QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QJsonValue describeFlavor(const QString& flavor, const QByteArray& bytes) {
    if (MimeTypeForFlavor(flavor).startsWith(QLatin1String("text/"))) {
        if (auto text = textOf(flavor, bytes))
            return *text;
    }
    if (FlavorIsDecodableImage(flavor)) {
        QByteArray data = bytes;
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid())
            return QJsonObject{
                {QStringLiteral("image"), QJsonObject{{QStringLiteral("width"), size.width()},
                                                      {QStringLiteral("height"), size.height()}}},
                {QStringLiteral("bytes"), bytes.size()}};
    }
    return QJsonObject{{QStringLiteral("bytes"), bytes.size()},
                       {QStringLiteral("base64"), QString::fromLatin1(bytes.toBase64())}};
}

// A setting with `change` applied to it, when it is a text, or to its texts, when it is a list:
// the settings that hold paths.
template <typename Change> QJsonValue withTexts(const QJsonValue& value, Change change) {
    if (value.isString())
        return change(value.toString());
    if (!value.isArray())
        return value;
    QJsonArray changed;
    for (const QJsonValue& item : value.toArray())
        changed.append(item.isString() ? QJsonValue(change(item.toString())) : item);
    return changed;
}

} // namespace

std::optional<QString> ReadClipboard(const QJsonObject& clipboard, World& world) {
    for (const QString& key : clipboard.keys()) {
        if (key != QLatin1String("items") && key != QLatin1String("scrap") &&
            key != QLatin1String("held_by_other"))
            return QStringLiteral("clipboard: \"%1\" is not supported").arg(key);
    }
    platform::world::ClipboardState state;
    state.heldByOther = clipboard.value(QStringLiteral("held_by_other")).toBool();
    for (const QJsonValue& itemValue : clipboard.value(QStringLiteral("items")).toArray()) {
        if (!itemValue.isObject())
            return QStringLiteral("clipboard: an item is an object of flavors");
        platform::world::PasteboardItem item;
        const QJsonObject flavors = itemValue.toObject();
        for (auto flavor = flavors.begin(); flavor != flavors.end(); ++flavor) {
            QString error;
            const auto bytes = flavorBytes(flavor.key(), flavor.value(), &error);
            if (!bytes)
                return error;
            item.flavors.emplace_back(flavor.key(), *bytes);
        }
        state.items.push_back(std::move(item));
    }
    const QJsonObject scrap = clipboard.value(QStringLiteral("scrap")).toObject();
    for (auto flavor = scrap.begin(); flavor != scrap.end(); ++flavor) {
        const QByteArray code = flavor.key().toLatin1();
        if (code.size() != 4 || !flavor.value().isString())
            return QStringLiteral("clipboard: a scrap flavor is a four-character code and a text");
        state.scrap[FourCharCode(quint8(code[0])) << 24 | FourCharCode(quint8(code[1])) << 16 |
                    FourCharCode(quint8(code[2])) << 8 | FourCharCode(quint8(code[3]))] =
            flavor.value().toString().toUtf8();
    }
    world.clipboard = std::move(state);
    return std::nullopt;
}

std::optional<QString> ReadFrontApplication(const QJsonValue& front, World& world) {
    if (front.isNull()) {
        world.frontApp.reset();
        return std::nullopt;
    }
    const QJsonObject description = front.toObject();
    if (!front.isObject() || !description.value(QStringLiteral("name")).isString())
        return QStringLiteral("front_app: {\"name\": ..., \"bundle\": ...} or null");
    platform::world::FrontApplication application;
    application.name = description.value(QStringLiteral("name")).toString();
    const QString bundle = description.value(QStringLiteral("bundle")).toString();
    if (!bundle.isEmpty())
        application.bundle = world.expand(bundle);
    const QJsonValue selected = description.value(QStringLiteral("selected_text"));
    if (selected.isString())
        application.selectedText = selected.toString();
    else if (!selected.isUndefined() && !selected.isNull())
        return QStringLiteral("front_app: selected_text is a text");
    // How the application answers the copy keystroke: after so many milliseconds, or never.
    const QJsonValue delay = description.value(QStringLiteral("copy_delay_ms"));
    if (delay.isDouble() && delay.toInteger(-1) >= 0)
        application.copyDelay = std::chrono::milliseconds(delay.toInteger());
    else if (!delay.isUndefined())
        return QStringLiteral("front_app: copy_delay_ms is a number of milliseconds");
    const QJsonValue answers = description.value(QStringLiteral("answers_copy"));
    if (answers.isBool())
        application.answersCopy = answers.toBool();
    else if (!answers.isUndefined())
        return QStringLiteral("front_app: answers_copy is true or false");
    world.frontApp = application;
    return std::nullopt;
}

std::optional<QString> ReadWords(const QJsonValue& words, World& world) {
    if (words.isNull()) {
        world.words.reset();
        return std::nullopt;
    }
    if (!words.isArray())
        return QStringLiteral("words: a list of words, or null for no word list");
    QStringList list;
    for (const QJsonValue& word : words.toArray()) {
        if (!word.isString())
            return QStringLiteral("words: each word is a text");
        list.append(word.toString());
    }
    world.words = list;
    return std::nullopt;
}

std::optional<QString> ReadApplications(const QJsonObject& applications, World& world) {
    for (auto entry = applications.begin(); entry != applications.end(); ++entry) {
        const QJsonObject state = entry.value().toObject();
        if (!entry.value().isObject())
            return QStringLiteral("applications: each application is an object");
        platform::world::ApplicationState application;
        application.installed = state.value(QStringLiteral("installed")).toBool(true);
        application.running = state.value(QStringLiteral("running")).toBool(false);
        const QJsonValue title = state.value(QStringLiteral("window_title"));
        if (title.isString())
            application.windowTitle = title.toString();
        else if (!title.isNull() && !title.isUndefined())
            return QStringLiteral("applications: window_title is a text or null");
        world.applications[entry.key()] = application;
    }
    return std::nullopt;
}

std::optional<QString> ReadPreferences(const QJsonObject& preferences, World& world,
                                       const PathPolicy& policy) {
    platform::PreferenceStore& store = world.preferences();
    for (auto entry = preferences.begin(); entry != preferences.end(); ++entry) {
        std::optional<QString> error;
        const QJsonValue value = withTexts(entry.value(), [&](const QString& text) {
            const QString expanded = world.expand(text);
            if (!error && QDir::isAbsolutePath(expanded))
                error =
                    policy.check(world, expanded,
                                 QStringLiteral("preferences: %1 holds the path").arg(entry.key()));
            return expanded;
        });
        if (error)
            return error;
        store.setValue(entry.key(),
                       value.isNull() ? std::nullopt : std::optional(value.toVariant()),
                       kApplicationIdentifier);
    }
    if (!store.synchronize(kApplicationIdentifier))
        return QStringLiteral("preferences: the store could not be written");
    return std::nullopt;
}

std::optional<QString> ReadMail(const QJsonObject& mail, World& world) {
    for (const QString& key : mail.keys()) {
        if (key != QLatin1String("senders"))
            return QStringLiteral("mail: \"%1\" is not supported").arg(key);
    }
    const QJsonValue senders = mail.value(QStringLiteral("senders"));
    if (!senders.isString() && !senders.isNull() && !senders.isUndefined())
        return QStringLiteral("mail: senders is a text, one sender a line, or null");
    platform::world::ApplicationState& application = world.applications[QStringLiteral("Mail")];
    application.installed = true;
    application.running = true;
    world.mail.senders.reset();
    if (senders.isString())
        world.mail.senders = senders.toString();
    return std::nullopt;
}

std::optional<QString> ReadNow(const QJsonValue& now, World& world) {
    const QDateTime date = QDateTime::fromString(now.toString(), Qt::ISODate);
    if (!now.isString() || !date.isValid())
        return QStringLiteral("now: an ISO 8601 date and time, such as 2026-12-05T06:52:44Z");
    world.now = date;
    return std::nullopt;
}

std::optional<QString> ReadAnswers(const QJsonObject& answers, World& world) {
    for (const QString& key : answers.keys()) {
        if (key != QLatin1String("alerts") && key != QLatin1String("save_panel") &&
            key != QLatin1String("choose_folder"))
            return QStringLiteral("answers: \"%1\" is not supported").arg(key);
    }
    world.alertAnswers.clear();
    for (const QJsonValue& answer : answers.value(QStringLiteral("alerts")).toArray()) {
        if (!answer.isDouble())
            return QStringLiteral("answers: an alert's answer is a button number");
        world.alertAnswers.push_back(answer.toInt());
    }
    const auto paths = [&](const char* key, std::deque<std::optional<QString>>& into,
                           const char* what) -> std::optional<QString> {
        into.clear();
        for (const QJsonValue& answer : answers.value(QLatin1String(key)).toArray()) {
            if (answer.isNull()) {
                into.push_back(std::nullopt);
                continue;
            }
            if (!answer.isString())
                return QStringLiteral("answers: %1's answer is a path or null")
                    .arg(QLatin1String(what));
            const QString path = world.expand(answer.toString());
            into.push_back(QFileInfo(path).isAbsolute() ? path : world.root() + u'/' + path);
        }
        return std::nullopt;
    };
    if (auto error = paths("save_panel", world.savePanelAnswers, "a save panel"))
        return error;
    if (auto error = paths("choose_folder", world.chooseFolderAnswers, "a choose-folder dialog"))
        return error;
    return std::nullopt;
}

QJsonObject DescribeClipboard(const World& world) {
    QJsonArray items;
    for (const platform::world::PasteboardItem& item : world.clipboard.items) {
        QJsonObject flavors;
        for (const auto& [flavor, bytes] : item.flavors)
            flavors.insert(flavor, describeFlavor(flavor, bytes));
        items.append(flavors);
    }
    QJsonObject clipboard{{QStringLiteral("items"), items}};
    if (!world.clipboard.scrap.empty()) {
        QJsonObject scrap;
        for (const auto& [code, bytes] : world.clipboard.scrap) {
            const char name[] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
            scrap.insert(QString::fromLatin1(name, 4), QString::fromUtf8(bytes));
        }
        clipboard.insert(QStringLiteral("scrap"), scrap);
    }
    return clipboard;
}

QJsonObject DescribePreferences(World& world) {
    platform::PreferenceStore& store = world.preferences();
    store.synchronize(kApplicationIdentifier);
    QJsonObject preferences = QJsonObject::fromVariantMap(store.values(kApplicationIdentifier));
    for (auto entry = preferences.begin(); entry != preferences.end(); ++entry)
        entry.value() =
            withTexts(entry.value(), [&](const QString& path) { return world.abbreviate(path); });
    return preferences;
}

} // namespace scenario
