// velmora-draw-pictures FOLDER [--sheet FILE]: draws the menu's picture resources and writes them
// as TIFF files into FOLDER; with --sheet, also writes a PNG contact sheet of them for review.
#include "tools/pictures/ContactSheet.h"
#include "tools/pictures/Pictures.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool write(const QImage& image, const QString& path, const QByteArray& format) {
    QImageWriter writer(path, format);
    if (format == "tiff")
        writer.setCompression(1); // LZW
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "velmora-draw-pictures: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Velmora's picture resources."));
    parser.addHelpOption();
    const QCommandLineOption sheetOption(QStringLiteral("sheet"),
                                         QStringLiteral("Also write a contact sheet to <file>."),
                                         QStringLiteral("file"));
    parser.addOption(sheetOption);
    const QCommandLineOption iconsOption(
        QStringLiteral("app-icons"),
        QStringLiteral("Write only the application's icon, as <folder>/NxN/apps/velmora.png of an "
                       "icon theme, at the sizes desktops ask for."));
    parser.addOption(iconsOption);
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("Where the TIFF files are written."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QDir folder(parser.positionalArguments().constFirst());
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "velmora-draw-pictures: cannot create %s\n",
                     qPrintable(folder.path()));
        return 1;
    }
    if (parser.isSet(iconsOption)) {
        pictures::Picture icon = pictures::all().front();
        for (const int size : {32, 48, 64, 128, 256}) {
            icon.pixels = size;
            const QString sized = QStringLiteral("%1x%1/apps").arg(size);
            if (!folder.mkpath(sized) ||
                !write(pictures::render(icon),
                       folder.filePath(sized + QStringLiteral("/velmora.png")), "png"))
                return 1;
        }
        return 0;
    }
    QList<pictures::Rendered> rendered;
    for (const pictures::Picture& picture : pictures::all()) {
        rendered.append({picture.fileName, pictures::render(picture)});
        if (!write(rendered.constLast().image, folder.filePath(picture.fileName), "tiff"))
            return 1;
    }
    if (parser.isSet(sheetOption) &&
        !write(pictures::contactSheet(rendered), parser.value(sheetOption), "png"))
        return 1;
    return 0;
}
