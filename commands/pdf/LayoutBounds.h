// Keeping the layout of a document to be printed within seconds, whatever its text.
//
// Qt lays out a table's cells more than once to find its column widths, so each level of
// tables within tables about doubles the time (20 levels take a minute, 25 never finish); it
// breaks a paragraph into lines in time that grows with the square of the paragraph's length
// when the paragraph has few spaces, and draws every line of a paragraph for each page it spans
// (a 1 MiB line of text without spaces takes a minute and a half, 8 MiB with spaces more than
// five). Real documents meet neither: their tables nest a few levels deep and their paragraphs
// run to some hundreds of words.
#pragma once

#include <QtGlobal>

class QTextDocument;

// Tables nested deeper than this are printed as their text alone.
inline constexpr int kMaxTableNesting = 8;
// The work of laying out tables, each paragraph inside a table counting 2 to the power of the
// tables around it: beyond this, about five seconds' worth (a table of 60,000 cells, a
// 250-page printout), the document's tables are printed as their text alone.
inline constexpr long long kMaxTableLayoutWork = 1 << 17;
// Paragraphs longer than this many characters are printed as several.
inline constexpr int kMaxParagraphLength = 4000;
// A text longer than this is not printed: some 2,000 pages, laid out and drawn in about fifteen
// seconds and 100 MB. A book runs to a tenth of it.
inline constexpr qsizetype kMaxPrintedCharacters = 10'000'000;

// False, with the document left as it was, when its text is longer than kMaxPrintedCharacters.
// Otherwise replaces a document whose tables nest deeper than kMaxTableNesting, or would take more
// than kMaxTableLayoutWork, by its text: each paragraph that has any, in order, as plain text. Then
// splits every paragraph longer than kMaxParagraphLength into paragraphs of at most that length,
// after a space in the second half of each piece where there is one, else between two characters;
// the pieces follow each other without the paragraph's spacing between them, so the text reads on
// and only the line before each break ends short.
bool BoundLayoutWork(QTextDocument* document);
