// Looking over HTML before Qt reads it.
//
// Qt's HTML reader gives each element the style of all the elements around it, walking up to
// the top of the document every time: its time grows with the number of elements times their
// depth (8,000 tables one inside the other take 12 seconds, a few megabytes of nested <b> never
// finish). It also keeps about a kilobyte for each element (16 MiB of small cells take 20
// seconds and 1.3 GB). Both are counted here in one quick pass over the tags, and a page that
// would cost too much is read as its text alone.
#pragma once

#include <QString>
#include <QStringView>

// The ancestors Qt's reader may walk for a page, each element counting the elements open
// around it: about two seconds' worth. A real page (100,000 elements fifteen deep) walks a
// fortieth of it.
inline constexpr long long kMaxHtmlNestingWork = 1LL << 26;
// The elements Qt's reader may keep for a page: some 200 MB, read in about three seconds. A long
// encyclopedia article has some tens of thousands.
inline constexpr long long kMaxHtmlElements = 200'000;

// True when Qt's reader reads the page within the bounds above, as far as its tags tell.
// Elements whose end tag HTML lets a page leave out (p, li, td, tr, ...) are placed as Qt places
// them, so that a page leaving end tags out is not taken for a deep one.
bool QtReadsHtmlQuickly(QStringView html);

// The page's text, as plain text: its text with entities read and white space run together,
// one line break where block elements (paragraphs, rows, list items, headings, ...) break it
// and a space between table cells; comments, scripts, style sheets and the title left out.
QString HtmlPlainText(QStringView html);
