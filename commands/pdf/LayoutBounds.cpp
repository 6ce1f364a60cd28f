#include "commands/pdf/LayoutBounds.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <vector>

namespace {

// Frames that are not tables nest too, without costing Qt the same; past this many the walk
// stops and the document is read as too deep.
constexpr int kMaxFrameNesting = 64;

struct TableLoad {
    bool tooMuch = false;
    long long work = 0;
};

void Weigh(QTextFrame* frame, int tables, int frames, TableLoad& load) {
    for (auto it = frame->begin(); !it.atEnd() && !load.tooMuch; ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            const int inner = tables + (qobject_cast<QTextTable*>(child) ? 1 : 0);
            if (inner > kMaxTableNesting || frames + 1 > kMaxFrameNesting) {
                load.tooMuch = true;
                return;
            }
            Weigh(child, inner, frames + 1, load);
        } else if (tables > 0) {
            load.work += 1LL << tables;
            load.tooMuch = load.work > kMaxTableLayoutWork;
        }
    }
}

void ReplaceByText(QTextDocument* document) {
    QString text;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString paragraph = block.text();
        paragraph.remove(QChar::ObjectReplacementCharacter);
        if (paragraph.isEmpty())
            continue;
        text += paragraph;
        text += u'\n';
    }
    text.chop(1);
    document->setPlainText(text);
}

// Where the piece of `text` from `start` ends: after the last space of its second half, else
// at the last boundary between two characters as the reader sees them (never inside a
// surrogate pair or between a letter and its accent).
qsizetype CutAfter(const QString& text, qsizetype start) {
    const qsizetype limit = start + kMaxParagraphLength;
    for (qsizetype end = limit; end > start + kMaxParagraphLength / 2; --end) {
        if (text.at(end - 1).isSpace())
            return end;
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme,
                                  text.mid(start, kMaxParagraphLength + 1));
    graphemes.setPosition(kMaxParagraphLength);
    if (graphemes.isAtBoundary())
        return limit;
    const qsizetype previous = graphemes.toPreviousBoundary();
    return previous > 0 ? start + previous : limit;
}

// The block at the cursor, just split off, continues the paragraph before it.
void Continue(QTextCursor& cursor) {
    if (QTextList* list = cursor.currentList())
        list->remove(cursor.block());
    QTextBlockFormat format = cursor.blockFormat();
    format.setTopMargin(0);
    format.setTextIndent(0);
    format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    cursor.setBlockFormat(format);
}

void SplitLongParagraphs(QTextDocument* document) {
    // Outside an edit block every move of the cursor lays out the paragraph it lands in, the
    // whole long one each time.
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.length() - 1 <= kMaxParagraphLength)
            continue;
        const QString text = block.text();
        std::vector<qsizetype> cuts;
        for (qsizetype start = 0; text.size() - start > kMaxParagraphLength;) {
            start = CutAfter(text, start);
            cuts.push_back(start);
        }
        // From the end, so that the positions before each cut stay where they were.
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            cursor.setPosition(block.position() + int(*cut));
            cursor.insertBlock();
            Continue(cursor);
            cursor.setPosition(block.position());
            QTextBlockFormat before = cursor.blockFormat();
            before.setBottomMargin(0);
            cursor.setBlockFormat(before);
        }
    }
    cursor.endEditBlock();
}

} // namespace

bool BoundLayoutWork(QTextDocument* document) {
    if (document->characterCount() > kMaxPrintedCharacters)
        return false;
    // Every change below would otherwise be kept to be undone.
    document->setUndoRedoEnabled(false);
    TableLoad load;
    Weigh(document->rootFrame(), 0, 0, load);
    if (load.tooMuch)
        ReplaceByText(document);
    SplitLongParagraphs(document);
    return true;
}
