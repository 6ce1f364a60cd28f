// Word completions: the desktop's spell checker, asked for the words that complete a partial
// word (platform/local/text/WordIndex.h says how case is handled).
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

class WordCompletionService {
public:
    virtual ~WordCompletionService() = default;
    // The completions in order; none when the desktop has no word list.
    virtual std::optional<QStringList> completions(const QString& partial) = 0;
};

} // namespace platform

// The spell checker's completions of the whole text, taken as one partial word, in its current
// language.
std::optional<QStringList> NSSpellCheckerCompletions(const QString& partial);
