// The RTF reader: the blocks and formats a document gives, its code pages and Unicode escapes,
// what it leaves out, and input built to break it.
#include "commands/pdf/RtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString Read(QTextDocument& document, const QByteArray& rtf) {
    EXPECT_TRUE(ReadRtfDocument(rtf, &document)) << rtf.left(80).constData();
    return document.toRawText();
}

QString Read(const QByteArray& rtf) {
    QTextDocument document;
    return Read(document, rtf);
}

// The format of the character at `position`.
QTextCharFormat FormatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

TEST(RtfReaderTest, OnlyRtfIsReadAndAnythingElseLeavesTheDocumentAlone) {
    QTextDocument document(QStringLiteral("kept"));
    for (const char* other : {"", "   ", "hello", "{\\rt", "{\\RTF1 x}", "x{\\rtf1 x}"})
        EXPECT_FALSE(ReadRtfDocument(other, &document)) << other;
    EXPECT_EQ(document.toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(Read(document, " \r\n\t{\\rtf1 read}"), QStringLiteral("read"));
}

TEST(RtfReaderTest, ParagraphsLineBreaksAndSymbols) {
    QTextDocument document;
    Read(document, "{\\rtf1 One\\par T\r\nwo\\line more\\par\\par F\\\nour\\tab"
                   "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_"
                   "\\\\\\{\\}\\par}");
    ASSERT_EQ(document.blockCount(), 5);
    EXPECT_EQ(document.findBlockByNumber(0).text(), QStringLiteral("One"));
    EXPECT_EQ(document.findBlockByNumber(1).text(), QStringLiteral("Two\u2028more"));
    EXPECT_EQ(document.findBlockByNumber(2).text(), QString());
    EXPECT_EQ(document.findBlockByNumber(3).text(), QStringLiteral("F"));
    EXPECT_EQ(document.lastBlock().text(),
              QStringLiteral("our\t\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u2011\\{}"));
}

TEST(RtfReaderTest, TableCellsAreTabsRowsAreParagraphsAndAPageBreakStartsAPage) {
    QTextDocument document;
    Read(document, "{\\rtf1 a\\cell b\\cell\\row c\\page d\\par e}");
    ASSERT_EQ(document.blockCount(), 4);
    EXPECT_EQ(document.firstBlock().text(), QStringLiteral("a\tb\t"));
    EXPECT_EQ(document.findBlockByNumber(1).blockFormat().pageBreakPolicy(),
              QTextFormat::PageBreak_Auto);
    EXPECT_EQ(document.findBlockByNumber(2).text(), QStringLiteral("d"));
    EXPECT_EQ(document.findBlockByNumber(2).blockFormat().pageBreakPolicy(),
              QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(document.lastBlock().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
}

TEST(RtfReaderTest, AlignmentIsThatInForceAtTheParagraphsEndAndIsRestoredWithItsGroup) {
    QTextDocument document;
    Read(document, "{\\rtf1\\qc a\\par\\pard b\\qr\\par{\\qj c\\par}d\\par{\\qc e}}");
    ASSERT_EQ(document.blockCount(), 5);
    const Qt::Alignment expected[] = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify,
                                      Qt::AlignRight, Qt::AlignHCenter};
    for (int block = 0; block < 5; ++block)
        EXPECT_EQ(document.findBlockByNumber(block).blockFormat().alignment(), expected[block])
            << block;
}

TEST(RtfReaderTest, CharacterFormattingIsRestoredWhenItsGroupCloses) {
    QTextDocument document;
    ASSERT_EQ(Read(document, "{\\rtf1 a{\\b b{\\i c\\i0 d}e}{\\ul f\\ulnone g}{\\ul h\\ul0 i}"
                             "{\\strike s}\\b\\i\\ul x\\plain y}"),
              QStringLiteral("abcdefghisxy"));
    // Bold, italic, underlined and struck out, character by character.
    const char* const expected[] = {"", "b", "bi", "b", "b", "u", "", "u", "", "s", "biu", ""};
    for (int at = 0; at < 12; ++at) {
        const QTextCharFormat format = FormatAt(document, at);
        std::string flags;
        for (const auto& [flag, set] : {std::pair{'b', format.fontWeight() == QFont::Bold},
                                        {'i', format.fontItalic()},
                                        {'u', format.fontUnderline()},
                                        {'s', format.fontStrikeOut()}})
            if (set)
                flags += flag;
        EXPECT_EQ(flags, expected[at]) << at;
    }
}

TEST(RtfReaderTest, FontTableFamiliesSizesAndColours) {
    QTextDocument document;
    ASSERT_EQ(Read(document,
                   "{\\rtf1\\deff0{\\fonttbl{\\f0\\froman{\\*\\panose 0102}Times New "
                   "Roman;}{\\f1\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                   "\\f1\\fs30\\cf1 a\\f0\\fs24\\cf0 b\\plain\\fs999999 c\\fs-4 d\\f7 e}"),
              QStringLiteral("abcde"));
    EXPECT_EQ(FormatAt(document, 0).font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(FormatAt(document, 0).fontPointSize(), 15);
    EXPECT_EQ(FormatAt(document, 0).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatAt(document, 1).font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(FormatAt(document, 1).fontPointSize(), 12);
    EXPECT_FALSE(FormatAt(document, 1).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatAt(document, 2).font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(FormatAt(document, 2).fontPointSize(), 1638);
    EXPECT_EQ(FormatAt(document, 3).fontPointSize(), 1);
    EXPECT_FALSE(FormatAt(document, 4).hasProperty(QTextFormat::FontFamilies));

    Read(document, "{\\rtf1{\\fonttbl\\f0 Courier;\\f1\\fcharset128 \\'82\\'6c\\'82\\'72;}\\f1 x}");
    EXPECT_EQ(FormatAt(document, 0).font().family(), QStringLiteral("ＭＳ"));
}

TEST(RtfReaderTest, BytesAreDecodedInTheCodePageOfTheFontOrDocument) {
    EXPECT_EQ(Read("{\\rtf1\\ansi caf\\'e9 \\'80}"), QStringLiteral("café €"));
    EXPECT_EQ(Read("{\\rtf1\\ansi\\ansicpg1251 \\'cf}"), QStringLiteral("П"));
    EXPECT_EQ(Read("{\\rtf1\\mac \\'8e}"), QStringLiteral("é"));
    EXPECT_EQ(Read("{\\rtf1\\ansicpg99999 \\'e9}"), QStringLiteral("é"));
    // The trail byte of プ is the letter v, written plainly.
    EXPECT_EQ(Read("{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 MS "
                   "Mincho;}{\\f2\\fcharset204 Cyr;}}\\f1\\'82\\'a0\\'83v\\f0\\'e9\\f2\\'cf}"),
              QStringLiteral("あプéП"));
    EXPECT_EQ(
        Read("{\\rtf1{\\fonttbl{\\f0\\fcharset134 SimSun;}{\\f1\\fcharset136 "
             "MingLiU;}{\\f2\\fcharset129 Batang;}}\\f0\\'d6\\'d0\\f1\\'a4\\'a4\\f2\\'c7\\'d1}"),
        QStringLiteral("中中한"));
    EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f0\\cpg932 Gothic;}}\\f0\\'82\\'a0\\'ff\\'82}"),
              QStringLiteral("あ\uFFFD\uFFFD"));
    EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS;}}\\f1\\'82{\\b\\'82\\'a0}x\\'00\\'09}"),
              QStringLiteral("\uFFFDあx\t"));
}

TEST(RtfReaderTest, UnicodeEscapesSkipTheirFallbackAndPairSurrogates) {
    EXPECT_EQ(Read("{\\rtf1 \\u8364?x}"), QStringLiteral("€x"));
    EXPECT_EQ(Read("{\\rtf1\\uc2 \\u8364??x}"), QStringLiteral("€x"));
    EXPECT_EQ(Read("{\\rtf1\\uc0 \\u8364?}"), QStringLiteral("€?"));
    EXPECT_EQ(Read("{\\rtf1 \\u233\\'e9x\\u233\\emdash y}"), QStringLiteral("éxéy"));
    EXPECT_EQ(Read("{\\rtf1 {\\uc2\\u8364 ab}\\u8364 cd}"), QStringLiteral("€€d"));
    EXPECT_EQ(Read("{\\rtf1 \\u-10179?\\u-8704?}"), QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(Read("{\\rtf1 \\u-10179?x\\u-8704?\\u-10179?\\u-10179?}"),
              QStringLiteral("\uFFFDx\uFFFD\uFFFD\uFFFD"));
}

TEST(RtfReaderTest, BinaryDataIsSteppedOverEvenWhenItHoldsBraces) {
    EXPECT_EQ(Read("{\\rtf1 a{\\pict\\bin4 }}{{}b{\\bin3 \\}}c\\bin-5 d\\bin99999 {}x"),
              QStringLiteral("abcd"));
}

TEST(RtfReaderTest, DestinationsAddNoText) {
    EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\stylesheet{\\s0 N;}}"
                   "{\\info{\\title x}}a{\\*\\unknown b{c}}d{\\pict 0102{\\x y}}e"
                   "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}{\\header h}"
                   "{\\footnote n}{\\object{\\result r}}{\\*\\generator g;}f}"),
              QStringLiteral("adelinkf"));
}

TEST(RtfReaderTest, DamagedAndHostileInputKeepsTheTextAroundIt) {
    EXPECT_EQ(Read("{\\rtf1 a}}}b{\\b c}"), QStringLiteral("abc"));
    EXPECT_EQ(Read("{\\rtf1 x\\"), QStringLiteral("x"));
    EXPECT_EQ(Read("{\\rtf1 x\\'"), QStringLiteral("x"));
    EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f0 Ari"), QString());
    EXPECT_EQ(Read("{\\rtf1 \\u99999?a\\u-99999999999999?b\\u0?c}"),
              QStringLiteral("\uFFFDa\uFFFDbc"));

    const qsizetype depth = 100000;
    EXPECT_EQ(
        Read("{\\rtf1 " + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + "after}"),
        QStringLiteral("deepafter"));
    EXPECT_EQ(
        Read("{\\rtf1 {\\*" + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "}after}"),
        QStringLiteral("after"));

    QTextDocument document;
    EXPECT_EQ(Read(document, "{\\rtf1 \\" + QByteArray(1 << 20, 'a') + " text\\fs" +
                                 QByteArray(1 << 20, '9') + " big\\fs-2147483648 small}"),
              QStringLiteral("textbigsmall"));
    EXPECT_EQ(FormatAt(document, 4).fontPointSize(), 1638);
    EXPECT_EQ(FormatAt(document, 7).fontPointSize(), 1);
}

TEST(RtfReaderTest, ManyRunsAndParagraphsAreAllKept) {
    QByteArray rtf = "{\\rtf1 ";
    for (int paragraph = 0; paragraph < 20000; ++paragraph)
        rtf += "{\\b bold} plain {\\i italic}\\par ";
    QTextDocument document;
    Read(document, rtf + '}');
    EXPECT_EQ(document.blockCount(), 20000);
    EXPECT_EQ(document.lastBlock().text(), QStringLiteral("bold plain italic"));
    EXPECT_EQ(FormatAt(document, document.lastBlock().position()).fontWeight(), QFont::Bold);
}

} // namespace
