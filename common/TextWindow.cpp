#include "common/TextWindow.h"

#include "platform/services/Windows.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TextWindow::TextWindow() : m_view(new QPlainTextEdit(this)) {
    m_view->setReadOnly(true);
    m_view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(480, 360);
}

void TextWindow::showText(const QString& title, const QString& text) {
    m_view->setPlainText(text);
    setWindowTitle(title);
    NSWindowMakeKeyAndOrderFront(this);
}

QString TextWindow::text() const {
    return m_view->toPlainText();
}
