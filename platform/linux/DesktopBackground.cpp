#include "platform/linux/DesktopBackground.h"

#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/FileUri.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace platform::linuxdesk {

namespace {

constexpr int kCommandTimeoutMs = 5000;

// Runs a helper program and gives its standard output, or none when it is missing or fails.
std::optional<QString> output(const QString& program, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(kCommandTimeoutMs) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::optional<QString> pathOfUri(const QString& uri) {
    if (uri.startsWith(u'/'))
        return uri;
    const auto path = platform::decodeFileUri(uri.toUtf8());
    if (!path)
        return std::nullopt;
    return QFile::decodeName(*path);
}

QString uriOfPath(const QString& path) {
    return QString::fromLatin1(platform::encodeFileUri(QFile::encodeName(path)));
}

// The code point written as exactly `count` hexadecimal digits, or none.
std::optional<char32_t> codePoint(QStringView digits, qsizetype count) {
    if (digits.size() != count)
        return std::nullopt;
    char32_t point = 0;
    for (const QChar digit : digits) {
        const char16_t c = digit.unicode();
        const int value = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'a' && c <= u'f' ? c - u'a' + 10
                          : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                   : -1;
        if (value < 0)
            return std::nullopt;
        point = point * 16 + char32_t(value);
    }
    if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return std::nullopt;
    return point;
}

struct GSettingsKey {
    const char* schema;
    const char* key;
    bool isUri;
};

std::optional<QString> readGSettings(const GSettingsKey& setting) {
    const auto line =
        output(QStringLiteral("gsettings"),
               {QStringLiteral("get"), QLatin1String(setting.schema), QLatin1String(setting.key)});
    if (!line)
        return std::nullopt;
    const auto value = ParseGVariantString(line->trimmed());
    if (!value || value->isEmpty())
        return std::nullopt;
    return setting.isUri ? pathOfUri(*value) : value;
}

bool writeGSettings(const GSettingsKey& setting, const QString& path) {
    const QString value = setting.isUri ? uriOfPath(path) : path;
    return output(QStringLiteral("gsettings"),
                  {QStringLiteral("set"), QLatin1String(setting.schema), QLatin1String(setting.key),
                   GVariantStringLiteral(value)})
        .has_value();
}

const GSettingsKey kGnome = {"org.gnome.desktop.background", "picture-uri", true};
const GSettingsKey kGnomeDark = {"org.gnome.desktop.background", "picture-uri-dark", true};
const GSettingsKey kColorScheme = {"org.gnome.desktop.interface", "color-scheme", false};
const GSettingsKey kCinnamon = {"org.cinnamon.desktop.background", "picture-uri", true};
const GSettingsKey kMate = {"org.mate.background", "picture-filename", false};

// XFCE keeps one picture per monitor and workspace: every "last-image" property.
QStringList xfceImageProperties() {
    const auto list =
        output(QStringLiteral("xfconf-query"),
               {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l")});
    QStringList properties;
    for (const QString& line : list.value_or(QString()).split(u'\n')) {
        if (line.trimmed().endsWith(QLatin1String("/last-image")))
            properties.append(line.trimmed());
    }
    return properties;
}

std::optional<QString> plasmaScript(const QString& script) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, kCommandTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments().value(0).toString();
}

// GNOME shows picture-uri-dark while the dark style is chosen (GNOME 42 and later).
bool prefersDark() {
    return readGSettings(kColorScheme) == QLatin1String("prefer-dark");
}

std::optional<QString> readGnomePicture() {
    if (prefersDark()) {
        if (auto dark = readGSettings(kGnomeDark))
            return dark;
    }
    return readGSettings(kGnome);
}

// The two pictures as they were before Velmora last set one, so that setting the picture then
// in effect again (a reset) brings back the dark style's own picture too, which a set replaced.
struct GnomePictures {
    QString light;
    QString dark;
};

std::optional<GnomePictures> readGnomePictures(const QString& file) {
    const auto bytes = ReadRegularFile(file, 64 * 1024);
    if (!bytes)
        return std::nullopt;
    const QJsonArray pair = QJsonDocument::fromJson(*bytes).array();
    if (pair.size() != 2 || !pair[0].isString() || !pair[1].isString())
        return std::nullopt;
    return GnomePictures{pair[0].toString(), pair[1].toString()};
}

void storeGnomePictures(const QString& file, const GnomePictures& pictures) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    platform::WriteFileAtomically(
        file, QJsonDocument(QJsonArray{pictures.light, pictures.dark}).toJson());
}

bool writeGnomePicture(const QString& path, const QString& before) {
    const GnomePictures current{readGSettings(kGnome).value_or(QString()),
                                readGSettings(kGnomeDark).value_or(QString())};
    GnomePictures next{path, path};
    if (const auto saved = readGnomePictures(before)) {
        const QString savedInEffect =
            prefersDark() && !saved->dark.isEmpty() ? saved->dark : saved->light;
        if (savedInEffect == path)
            next = *saved;
    }
    // A picture that was no file (a resource of the desktop's own) cannot be put back as one.
    for (QString* picture : {&next.light, &next.dark}) {
        if (picture->isEmpty())
            *picture = path;
    }
    const bool written = writeGSettings(kGnome, next.light);
    writeGSettings(kGnomeDark, next.dark);
    if (written)
        storeGnomePictures(before, current);
    return written;
}

const QString kPlasmaImageGroup =
    QStringLiteral("d.wallpaperPlugin = 'org.kde.image';"
                   "d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];");

} // namespace

DesktopFamily DesktopFamilyFor(const QByteArray& currentDesktop) {
    for (const QByteArray& name : currentDesktop.toLower().split(':')) {
        if (name == "gnome" || name == "ubuntu" || name == "unity" || name == "budgie" ||
            name == "pantheon")
            return DesktopFamily::Gnome;
        if (name == "x-cinnamon" || name == "cinnamon")
            return DesktopFamily::Cinnamon;
        if (name == "mate")
            return DesktopFamily::Mate;
        if (name == "xfce")
            return DesktopFamily::Xfce;
        if (name == "kde")
            return DesktopFamily::Plasma;
    }
    return DesktopFamily::Unknown;
}

std::optional<QString> ReadDesktopPicture(DesktopFamily family) {
    switch (family) {
    case DesktopFamily::Gnome:
        return readGnomePicture();
    case DesktopFamily::Cinnamon:
        return readGSettings(kCinnamon);
    case DesktopFamily::Mate:
        return readGSettings(kMate);
    case DesktopFamily::Xfce: {
        const QStringList properties = xfceImageProperties();
        if (properties.isEmpty())
            return std::nullopt;
        const auto value = output(QStringLiteral("xfconf-query"),
                                  {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                                   QStringLiteral("-p"), properties.first()});
        if (!value || value->trimmed().isEmpty())
            return std::nullopt;
        return value->trimmed();
    }
    case DesktopFamily::Plasma: {
        const auto image =
            plasmaScript(QStringLiteral("var d = desktops()[0];") + kPlasmaImageGroup +
                         QStringLiteral("print(d.readConfig('Image'));"));
        if (!image || image->trimmed().isEmpty())
            return std::nullopt;
        return pathOfUri(image->trimmed());
    }
    case DesktopFamily::Unknown:
        break;
    }
    return std::nullopt;
}

bool WriteDesktopPicture(DesktopFamily family, const QString& path, const QString& before) {
    switch (family) {
    case DesktopFamily::Gnome:
        return writeGnomePicture(path, before);
    case DesktopFamily::Cinnamon:
        return writeGSettings(kCinnamon, path);
    case DesktopFamily::Mate:
        return writeGSettings(kMate, path);
    case DesktopFamily::Xfce: {
        bool written = false;
        for (const QString& property : xfceImageProperties()) {
            written = output(QStringLiteral("xfconf-query"),
                             {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                              QStringLiteral("-p"), property, QStringLiteral("-s"), path})
                          .has_value() ||
                      written;
        }
        return written;
    }
    case DesktopFamily::Plasma: {
        // The path reaches the script as a JSON string, which JavaScript reads back exactly.
        const QString uri = QString::fromUtf8(
            QJsonDocument(QJsonArray{uriOfPath(path)}).toJson(QJsonDocument::Compact));
        return plasmaScript(QStringLiteral("var uri = ") + uri +
                            QStringLiteral("[0]; desktops().forEach(function (d) {") +
                            kPlasmaImageGroup + QStringLiteral("d.writeConfig('Image', uri); });"))
            .has_value();
    }
    case DesktopFamily::Unknown:
        break;
    }
    return false;
}

QString GVariantStringLiteral(const QString& text) {
    QString literal = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == u'\'' || c == u'\\')
            literal.append(u'\\');
        literal.append(c);
    }
    return literal + u'\'';
}

std::optional<QString> ParseGVariantString(const QString& line) {
    if (line.size() < 2)
        return std::nullopt;
    const QChar quote = line.front();
    if ((quote != u'\'' && quote != u'"') || line.back() != quote)
        return std::nullopt;
    // The escapes of GLib's text format: \uXXXX and \UXXXXXXXX name a code point, the seven C
    // letters name their control characters, and a backslash before anything else stands for
    // that character itself (a quote, a backslash).
    static const QHash<QChar, QChar> kLetters = {{u'a', u'\a'}, {u'b', u'\b'}, {u'f', u'\f'},
                                                 {u'n', u'\n'}, {u'r', u'\r'}, {u't', u'\t'},
                                                 {u'v', u'\v'}};
    const qsizetype end = line.size() - 1;
    QString text;
    for (qsizetype i = 1; i < end; ++i) {
        if (line[i] == quote)
            return std::nullopt;
        if (line[i] != u'\\') {
            text.append(line[i]);
            continue;
        }
        if (++i == end)
            return std::nullopt;
        const QChar escaped = line[i];
        if (escaped == u'u' || escaped == u'U') {
            const qsizetype digits = escaped == u'u' ? 4 : 8;
            const auto point = codePoint(QStringView(line).mid(i + 1, digits), digits);
            if (i + digits >= end || !point)
                return std::nullopt;
            text.append(QString::fromUcs4(&*point, 1));
            i += digits;
        } else {
            text.append(kLetters.value(escaped, escaped));
        }
    }
    return text;
}

} // namespace platform::linuxdesk
