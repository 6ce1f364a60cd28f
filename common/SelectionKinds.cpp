#include "common/SelectionKinds.h"

#include "common/ItemKinds.h"
#include "platform/local/media/MediaPossibility.h"

#include <QFile>

namespace {

bool answer(std::optional<bool>& known, auto&& ask) {
    if (!known)
        known = ask();
    return *known;
}

} // namespace

SelectionKindFlags SelectionKinds::flagsOf(const std::vector<std::optional<FSRef>>& selection) {
    SelectionKindFlags flags;
    QHash<QByteArray, Known> known;
    known.reserve(qsizetype(selection.size()));
    size_t next = 0;
    for (; next < selection.size(); ++next) {
        if (flags.movie && flags.picture && flags.webloc)
            break;
        if (!selection[next])
            continue;
        const FSRef ref = *selection[next];
        // The selection was resolved a moment ago, in this opening: the stamp that look saw is
        // the item's stamp now. The probes look again for themselves.
        const auto recorded = FSRefRecordedItem(&ref);
        if (!recorded)
            continue;
        const QByteArray& path = recorded->path;
        Known item = m_known.take(path);
        if (item.stamp != recorded->stamp)
            item = Known{recorded->stamp, {}, {}, {}, {}, {}};
        // The readers that open and parse a file are asked only about the files whose name (or,
        // for a name that tells nothing, first bytes) says they may be a movie or a picture.
        if (!flags.movie || !flags.picture) {
            if (!item.mayBeMovie || !item.mayBePicture) {
                const MediaPossibility possible = MediaPossibilityOfFile(QFile::decodeName(path));
                item.mayBeMovie = possible.movie;
                item.mayBePicture = possible.picture;
            }
            if (!flags.movie && *item.mayBeMovie)
                flags.movie = answer(item.movie, [&] { return FSIsMovieFile(&ref); });
            if (!flags.picture && *item.mayBePicture)
                flags.picture = answer(item.picture, [&] { return FSIsGraphicsFile(&ref); });
        }
        if (!flags.webloc)
            flags.webloc = answer(item.webloc, [&] { return IsWeblocFile(&ref); });
        known.insert(path, std::move(item));
    }
    // The items the walk did not reach keep what was learnt about them, unchecked until they
    // are reached at a later opening.
    for (; next < selection.size(); ++next) {
        if (!selection[next])
            continue;
        if (const auto recorded = FSRefRecordedItem(&*selection[next])) {
            if (const auto it = m_known.constFind(recorded->path); it != m_known.constEnd())
                known.insert(recorded->path, *it);
        }
    }
    m_known = std::move(known);
    return flags;
}
