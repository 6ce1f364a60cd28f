// Reading and writing vCard text (RFC 6350), as far as the address book needs it.
//
// A property keeps its value exactly as written next to the decoded text, so a card that came
// from another tool can be written back with every property this code does not understand
// unchanged. Parsing is strict about the shape of a content line and lenient about nothing
// else: a card that cannot be read whole is skipped rather than read in part, because a card
// read in part and written back would lose the rest.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

struct VCardProperty {
    QByteArray group; // "item1" of "item1.EMAIL", usually empty
    QByteArray name;  // upper-cased: "EMAIL"
    // Names and values as written, quotes included: {"TYPE", "\"work,pref\""}. A parameter
    // written without '=' (vCard 2.1's bare "WORK") has an empty value.
    QList<std::pair<QByteArray, QByteArray>> parameters;
    // FN, KIND and EMAIL unescaped; every other property's raw value decoded as UTF-8.
    QString value;
    // The value exactly as written; this, not `value`, is what WriteVCard writes.
    QByteArray raw;
};

struct VCard {
    std::vector<VCardProperty> properties; // in order, BEGIN and END not included
};

// Every intact card in `text`. Lines end in CRLF or LF; a line starting with a space or a tab
// continues the one before. A damaged card (no END, a line without ':' or with a malformed
// name, invalid UTF-8, a nested BEGIN, too many properties) is skipped, and so is any other
// text outside a card; each counts once in *skipped.
std::vector<VCard> ParseVCards(const QByteArray& text, int* skipped = nullptr);

// The card as vCard 4.0 text: BEGIN and VERSION:4.0 first (the card's own VERSION is not
// written), END last, CRLF line ends, lines folded at 75 octets between characters. Empty when
// a property could not be written as a content line (a malformed name, a line break in a
// value or parameter).
QByteArray WriteVCard(const VCard& card);

// Text value escapes: \n and \N give a line break; \, \; and \\ give the character itself.
// Any other backslash is kept as it stands.
QString UnescapeText(QByteArrayView raw);
// The reverse: backslash, comma and semicolon escaped; CR LF, LF and CR each written as \n.
QByteArray EscapeText(const QString& text);
// The components of a structured value (N: family;given;additional;prefixes;suffixes), split
// at unescaped semicolons and unescaped.
QStringList SplitComponents(QByteArrayView raw);
