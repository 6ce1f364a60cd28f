#include "foundation/CString256.h"

#include <cmath>
#include <cstring>
#include <type_traits>

// The wildcard adapters read a CString256* as a C text.
static_assert(std::is_standard_layout_v<CString256> && offsetof(CString256, text) == 0);

namespace {

unsigned char sameCase(unsigned char c) {
    return c;
}

template <unsigned char (*Fold)(unsigned char)> bool equalTexts(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (Fold(static_cast<unsigned char>(*a)) != Fold(static_cast<unsigned char>(*b))) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

template <unsigned char (*Fold)(unsigned char)>
float approximateScore(const char* subject, const char* pattern) {
    std::size_t subjectLength = std::strlen(subject);
    std::size_t patternLength = std::strlen(pattern);
    if (subjectLength + patternLength == 0) {
        return 0.0f;
    }
    std::size_t found = 0;
    std::size_t position = 0;
    for (const char* p = pattern; *p != '\0' && position < subjectLength; ++p) {
        unsigned char wanted = Fold(static_cast<unsigned char>(*p));
        for (std::size_t i = position; i < subjectLength; ++i) {
            if (Fold(static_cast<unsigned char>(subject[i])) == wanted) {
                ++found;
                position = i + 1;
                break;
            }
        }
    }
    float subjectMissed = std::fabs(static_cast<float>(subjectLength) - static_cast<float>(found));
    float patternMissed = std::fabs(static_cast<float>(patternLength) - static_cast<float>(found));
    double missed = static_cast<double>(subjectMissed) + static_cast<double>(patternMissed);
    return static_cast<float>(1.0 - missed / static_cast<double>(subjectLength + patternLength));
}

template <const char* (*Find)(const char*, const char*)>
float wildcardScore(const char* subject, CList<CString256>& pieces) {
    const char* position = subject;
    for (pieces.cursor = pieces.head; pieces.cursor != nullptr;
         pieces.cursor = pieces.cursor->next) {
        const char* piece = pieces.cursor->data.text;
        const char* found = Find(position, piece);
        if (found == nullptr) {
            return 0.0f;
        }
        position = found + std::strlen(piece);
    }
    return 1.0f;
}

const char* findCase(const char* text, const char* searched) {
    return std::strstr(text, searched);
}

float scoreOf(bool matched) {
    return matched ? 1.0f : 0.0f;
}

} // namespace

void CString256::match_case_exact(const CString256& pattern, float* score) const {
    *score = scoreOf(text[0] != '\0' && equalTexts<sameCase>(text, pattern.text));
}

void CString256::match_nocase_exact(const CString256& pattern, float* score) const {
    *score = scoreOf(text[0] != '\0' && equalTexts<AsciiLower>(text, pattern.text));
}

void CString256::match_case_partial(const CString256& pattern, float* score) const {
    *score = scoreOf(pattern.text[0] != '\0' && std::strstr(text, pattern.text) != nullptr);
}

void CString256::match_nocase_partial(const CString256& pattern, float* score) const {
    *score = scoreOf(pattern.text[0] != '\0' && STRSTR(text, pattern.text) != nullptr);
}

void CString256::match_case_approximate(const CString256& pattern, float* score) const {
    *score = approximateScore<sameCase>(text, pattern.text);
}

void CString256::match_nocase_approximate(const CString256& pattern, float* score) const {
    *score = approximateScore<AsciiLower>(text, pattern.text);
}

void CString256::match_wildcard_case(CList<CString256>& pieces, float* score) const {
    *score = wildcardScore<findCase>(text, pieces);
}

void CString256::match_wildcard_nocase(CList<CString256>& pieces, float* score) const {
    *score = wildcardScore<STRSTR>(text, pieces);
}

void CString256::match(CMatcher fn, void* pattern, float* score) {
    fn(this, pattern, score);
}

namespace {

using PatternMatcher = void (CString256::*)(const CString256&, float*) const;

template <PatternMatcher Match> void matchTextPattern(void* subject, void* pattern, float* score) {
    CString256 cut(static_cast<const char*>(pattern));
    (static_cast<const CString256*>(subject)->*Match)(cut, score);
}

using PiecesMatcher = void (CString256::*)(CList<CString256>&, float*) const;

template <PiecesMatcher Match> void matchTextSubject(void* subject, void* pattern, float* score) {
    CString256 cut(static_cast<const char*>(subject));
    (cut.*Match)(*static_cast<CList<CString256>*>(pattern), score);
}

} // namespace

void matcher_case_exact_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_case_exact>(subject, pattern, score);
}

void matcher_nocase_exact_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_nocase_exact>(subject, pattern, score);
}

void matcher_case_partial_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_case_partial>(subject, pattern, score);
}

void matcher_nocase_partial_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_nocase_partial>(subject, pattern, score);
}

void matcher_case_approximate_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_case_approximate>(subject, pattern, score);
}

void matcher_nocase_approximate_256(void* subject, void* pattern, float* score) {
    matchTextPattern<&CString256::match_nocase_approximate>(subject, pattern, score);
}

void match_wildcard_case_256(void* subject, void* pattern, float* score) {
    matchTextSubject<&CString256::match_wildcard_case>(subject, pattern, score);
}

void match_wildcard_nocase_256(void* subject, void* pattern, float* score) {
    matchTextSubject<&CString256::match_wildcard_nocase>(subject, pattern, score);
}
