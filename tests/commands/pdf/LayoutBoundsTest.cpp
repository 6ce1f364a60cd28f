// What keeps the layout of a printed text to seconds: tables too deep or too costly printed as
// their text, long paragraphs cut into pieces, HTML Qt's reader would take minutes over read as
// its text alone.
#include "commands/pdf/LayoutBounds.h"
#include "commands/pdf/HtmlText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QString Nested(int depth, const QString& inner) {
    return QStringLiteral("<table><tr><td>").repeated(depth) + inner +
           QStringLiteral("</td></tr></table>").repeated(depth);
}

bool HasTables(const QTextDocument& document) {
    return !document.rootFrame()->childFrames().isEmpty();
}

// Eight levels of tables print as tables; a ninth, or 600 cells at the eighth (where each costs
// Qt 256 layouts), print as text.
TEST(LayoutBounds, TablesTooDeepOrTooCostlyArePrintedAsTheirText) {
    const QString cells = QStringLiteral("<table>%1</table>");
    const auto rows = [](int count) {
        return QStringLiteral("<tr><td>cell</td></tr>").repeated(count);
    };
    const std::pair<QString, bool> cases[] = {
        {Nested(8, QStringLiteral("deep")), true},
        {Nested(9, QStringLiteral("deep")), false},
        {Nested(7, cells.arg(rows(300))), true},
        {Nested(7, cells.arg(rows(600))), false},
    };
    for (const auto& [html, kept] : cases) {
        QTextDocument document;
        document.setHtml(html);
        ASSERT_TRUE(BoundLayoutWork(&document));
        EXPECT_EQ(HasTables(document), kept) << html.size();
        EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("deep")) ||
                    document.toPlainText().contains(QStringLiteral("cell")));
        if (!kept) {
            EXPECT_FALSE(document.toPlainText().contains(QStringLiteral("\n\n")));
        }
    }
}

// The pieces of a long paragraph hold its text exactly, each at most kMaxParagraphLength
// characters; a piece ends after a space where it can, never inside a surrogate pair or
// between a letter and its accent; a list item stays one item, the paragraph's spacing stays
// around the whole.
TEST(LayoutBounds, LongParagraphsAreCutIntoPiecesThatReadOn) {
    QString words;
    for (int i = 0; words.size() < 100000; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    // Seven units a round, so that the cuts fall inside the accented letter or the emoji.
    const QString unspaced = QStringLiteral("abe\u0301\U0001F600c").repeated(20000);
    for (const QString& text : {words, unspaced}) {
        QTextDocument document;
        document.setPlainText(text);
        ASSERT_TRUE(BoundLayoutWork(&document));
        QString joined;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QString piece = block.text();
            EXPECT_LE(piece.size(), kMaxParagraphLength);
            EXPECT_FALSE(piece.front().isLowSurrogate() || piece.front().isMark());
            if (text == words && block.next().isValid()) {
                EXPECT_TRUE(piece.endsWith(u' '));
            }
            joined += piece;
        }
        EXPECT_EQ(joined, text);
        EXPECT_GE(document.blockCount(),
                  (text.size() + kMaxParagraphLength - 1) / kMaxParagraphLength);
    }

    QTextDocument document;
    document.setHtml(QStringLiteral("<p>Before</p><ul><li>") + words +
                     QStringLiteral("</li><li>next</li></ul><p style=\"margin-top: 30px; "
                                    "margin-bottom: 40px\">") +
                     words + QStringLiteral("</p>"));
    ASSERT_TRUE(BoundLayoutWork(&document));
    QTextList* list = nullptr;
    std::vector<QTextBlockFormat> paragraph;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.textList())
            list = block.textList();
        if (!block.textList() && block.text().startsWith(QStringLiteral("word")) &&
            block.blockFormat().topMargin() + block.blockFormat().bottomMargin() > 0)
            paragraph.push_back(block.blockFormat());
    }
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 2);
    ASSERT_EQ(paragraph.size(), 2u) << "the first and the last piece of the paragraph";
    EXPECT_EQ(paragraph.front().topMargin(), 30);
    EXPECT_EQ(paragraph.front().bottomMargin(), 0);
    EXPECT_EQ(paragraph.back().topMargin(), 0);
    EXPECT_EQ(paragraph.back().bottomMargin(), 40);
}

TEST(LayoutBounds, ATextTooLongToPrintIsRefused) {
    QTextDocument document;
    document.setPlainText(QString(kMaxPrintedCharacters, u'x'));
    EXPECT_FALSE(BoundLayoutWork(&document));
    EXPECT_EQ(document.blockCount(), 1);
}

// The count follows Qt's reader: every '<' opens a tag, and a script's tags are tags; but
// paragraphs, list items and cells left unclosed stand beside each other, as real pages have
// them.
TEST(HtmlText, PagesQtWouldReadForMinutesAreToldApart) {
    QString real = QStringLiteral("<html><head><title>t</title><link rel=stylesheet href=a.css>"
                                  "<meta charset=utf-8></head><body>");
    for (int i = 0; i < 2000; ++i)
        real += QStringLiteral("<p>Paragraph <b>%1</b> <a href=\"x?a=1&b=2\">link</a>").arg(i);
    real += QStringLiteral("<ul>") + QStringLiteral("<li>item").repeated(2000) +
            QStringLiteral("</ul><table>") +
            QStringLiteral("<tr><td>a<td>b<td><input type=checkbox>").repeated(3000) +
            QStringLiteral("</table><dl>") + QStringLiteral("<dt>t<dd>d").repeated(1000) +
            QStringLiteral("</dl></body></html>");
    EXPECT_TRUE(QtReadsHtmlQuickly(real));

    const int deep = 20000;
    for (const QString& page :
         {QStringLiteral("<b>").repeated(deep), QStringLiteral("< b>").repeated(deep),
          QStringLiteral("<?x>").repeated(deep), QStringLiteral("<input>").repeated(deep),
          QStringLiteral("<script>") + QStringLiteral("<i>").repeated(deep),
          QStringLiteral("<b title=a\"b>") + QStringLiteral("<b>").repeated(deep),
          Nested(deep / 3, QStringLiteral("x")),
          QStringLiteral("<b>").repeated(2000) + QStringLiteral("</i>").repeated(100000),
          QStringLiteral("<br>").repeated(int(kMaxHtmlElements) + 1)})
        EXPECT_FALSE(QtReadsHtmlQuickly(page)) << page.left(40).toStdString();
}

TEST(HtmlText, APageReadAsItsTextKeepsItsWordsAndLines) {
    const QString page = QStringLiteral(
        "<html><head><title>Title</title><style>p { color: red }</style>"
        "<script>if (a < b) document.write('<p>x</p>')</script></head><body>"
        "<h1>Caf&eacute; &amp; friends</h1><!-- a <p>comment</p> -->"
        "<p>First   line\n continues</p><p>Second&nbsp;line &#x41;&#66;</p>"
        "<table><tr><td>one<td>two</table><div><div><div>Last</div></div></div></body></html>");
    EXPECT_EQ(HtmlPlainText(page).toStdString(),
              "Café & friends\nFirst line continues\nSecond line AB\none two\nLast");
}

} // namespace
