// The selection's three kind flags — a movie, a picture, a web location among the selected
// items — and what earlier openings of the menu learnt about each item.
//
// A kind is a question about a file's name and content. Both are unchanged while the item's path
// and stamp (identity, size, modification and change times) are, so an item already looked at is
// not opened again until one of them changes: reopening the menu on the same thousand files costs
// a thousand looks at their stamps. An item seen for the first time is probed as before: the
// cheap look at its name and first bytes, then the readers only where that look allows.
#pragma once

#include "platform/local/files/Files.h"

#include <QByteArray>
#include <QHash>
#include <optional>
#include <vector>

struct SelectionKindFlags {
    bool movie = false;
    bool picture = false;
    bool webloc = false;
    bool operator==(const SelectionKindFlags&) const = default;
};

class SelectionKinds {
public:
    // `selection` as resolved in this opening (none where an element did not resolve). Each item
    // is probed only as far as the flags still unset need; the walk ends when all three are set.
    SelectionKindFlags flagsOf(const std::vector<std::optional<FSRef>>& selection);

private:
    struct Known {
        ItemStamp stamp;
        std::optional<bool> mayBeMovie;
        std::optional<bool> mayBePicture;
        std::optional<bool> movie;
        std::optional<bool> picture;
        std::optional<bool> webloc;
    };

    // What the last opening learnt, by path: only the items of that opening are kept.
    QHash<QByteArray, Known> m_known;
};
