// The application's text window: one scrollable, selectable, read-only text view. The movie
// report and the word completions show in the same window; each showing replaces the text and
// the title the last one left.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class TextWindow : public QWidget {
public:
    TextWindow();
    // Sets the title and the text, and brings the window to the front as the key window.
    void showText(const QString& title, const QString& text);
    QString text() const;

private:
    QPlainTextEdit* m_view;
};
