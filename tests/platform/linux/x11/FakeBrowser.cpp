// A stand-in browser for the X11 tests, built as an executable named "firefox": one window,
// titled by its argument, holding a line edit that takes the keyboard focus. Each change of the
// line edit's text is written to standard output, a line each.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(QString::fromUtf8(argc > 1 ? argv[1] : ""));
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
