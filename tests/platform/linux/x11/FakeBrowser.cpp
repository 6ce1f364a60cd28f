// A stand-in browser for the X11 tests, built as an executable named "firefox": one window,
// titled by its argument, holding a line edit that takes the keyboard focus. Each change of the
// line edit's text is written to standard output, a line each. With --clipboard TEXT PICTURE it
// also owns the clipboard with both the text and the picture, as a program that copies a
// document's selection does (xclip offers only one of them).
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() == 3 && arguments.front() == QLatin1String("--clipboard")) {
        auto* both = new QMimeData;
        both->setText(arguments.at(1));
        both->setImageData(QImage(arguments.at(2)));
        QApplication::clipboard()->setMimeData(both);
        return QApplication::exec();
    }
    QLineEdit edit;
    edit.setWindowTitle(arguments.value(0));
    QObject::connect(&edit, &QLineEdit::textChanged, [](const QString& text) {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    edit.show();
    // Without a window manager nobody else gives the window the focus.
    QTimer::singleShot(100, &edit, [&edit] {
        edit.activateWindow();
        edit.setFocus();
    });
    return QApplication::exec();
}
