// Word completions over a word list: the words that complete a partial word, found by prefix in
// an index sorted once.
//
// The case rule is a spell checker's: a partial word in lower case is completed by the words
// that begin with it exactly, so "hel" gives "hello" but not "Helen"; one that begins with a
// capital is completed by every word that begins with it in any case, capitalised ("Hel" gives
// "Hello" and "Helen"; a word the list writes in capitals, "HELLO", stays so); one in capitals
// throughout (two letters or more) by every such word in capitals ("HEL" gives "HELLO"); any other
// mix by the words as the list writes them. The partial word itself and possessives ("hello's") are
// never completions; completions are in alphabetical order, each once.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class WordIndex {
public:
    // The words of `list`, one a line (UTF-8, blank lines and surrounding blanks ignored).
    explicit WordIndex(const QByteArray& list);
    explicit WordIndex(const QStringList& words);

    bool isEmpty() const { return m_entries.empty(); }
    QStringList completions(const QString& partial) const;

private:
    struct Entry {
        QString folded;
        QString word;
    };
    void add(const QString& word);
    void sort();

    std::vector<Entry> m_entries;
};
