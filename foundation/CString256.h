// CString256: the system's fixed-capacity text value.
//
// A NUL-terminated byte string of at most 255 bytes held inside the object, with no heap
// storage of its own. Lengths count bytes. Every operation that adds text silently cuts it so
// that a NUL stays within the 256 bytes; none reports that it cut. A null C text (or Pascal
// string, or handle) counts as empty wherever text is taken in.
//
// Conversions with QString: text taken in from a QString is encoded as Mac Roman; a QString
// holding any character that Mac Roman lacks converts to the empty text, and one longer than
// 255 characters is cut to its first 255. MakeCFString() decodes the bytes as UTF-8, so bytes
// from 128 up that do not form UTF-8 come out as U+FFFD.
//
// Heap objects come from a class-wide pool (see NodePool.h). The object's address is the
// address of its text, so a CString256* may stand for a C text where a matcher expects one.
#pragma once

#include "foundation/CList.h"
#include "foundation/CaselessText.h"
#include "foundation/DecimalText.h"

#include <cstddef>

class QString;

// A matcher called through CString256::match(): writes to score how well subject matches
// pattern, from 0 (not at all) to 1 (fully).
using CMatcher = void (*)(void* subject, void* pattern, float* score);

class CString256 {
public:
    char text[256];
    CString256* nextFree = nullptr; // next object on nfree while this one is free

    static inline CString256* nfree = nullptr;
    static inline long nblocks = 0; // blocks taken from the heap by the pool

    static void* operator new(std::size_t) noexcept { return PoolTake(nfree, nblocks); }
    static void operator delete(void* memory) noexcept { PoolGive(nfree, memory); }

    // Construction and assignment; at most 255 bytes are kept.
    CString256();
    CString256(const char* s);
    CString256(const CString256& other);
    CString256(const unsigned char* pascal); // length byte, then that many bytes
    CString256& operator=(const CString256& other);
    CString256& operator=(const char* s);
    CString256& operator=(const unsigned char* pascal);
    CString256& operator=(const QString& s);
    CString256& operator=(long value);
    // The first min(handleSize, 255) bytes of the handle's block. The caller passes the block's
    // size, which the classic Memory Manager kept beside the block.
    CString256& assign(char** handle, long handleSize);

    // Appending: as much of the operand as fits in the free room (255 bytes less the length).
    CString256& operator+=(const char* s);
    CString256& operator+=(const CString256& other);
    CString256& operator+=(const unsigned char* pascal);
    CString256& operator+=(const QString& s);
    CString256& operator+=(long value);
    // Appends c only while the length is at most 253; a NUL character changes nothing.
    CString256& operator+=(char c);

    // The byte at index i, without a bounds test.
    char& operator[](int i) { return text[i]; }

    QString MakeCFString() const;

    // In-place edits.
    void to_lower(); // ASCII capitals only
    // Removes every byte other than ASCII letters, digits and punctuation, closing up.
    void filter_to_alnum_or_punct();
    // Cuts the text at its last "." if it has one, then appends "." and suffix.
    void change_suffix(const char* suffix);

    // Prefix and suffix tests; nocase != 0 ignores ASCII case. An empty other always matches;
    // endsWith is false when the text is shorter than other.
    bool beginsWith(const CString256* other, unsigned char nocase) const;
    bool beginsWith(const char* other, unsigned char nocase) const;
    bool endsWith(const CString256* other, unsigned char nocase) const;
    bool endsWith(const char* other, unsigned char nocase) const;
    bool beginsWith_nocase(const CString256& other) const;
    bool beginsWith_nocase(const char* other) const;
    bool endsWith_nocase(const CString256& other) const;
    bool endsWith_nocase(const char* other) const;

    // Appends the text and a line feed to the C text in buffer, which must have the room.
    // Returns the buffer's length before the line feed.
    long print(char* buffer) const;
    // Writes the text and a line feed to the file descriptor at its current position. Returns 0,
    // or -36 (ioErr) when the write fails or is short.
    short print(short fileDescriptor) const;

    // Empties list, then appends every non-empty piece of the text between bytes that occur in
    // delimiters, in order.
    void parse_into_list(const char* delimiters, CList<CString256>& list) const;
    // Sets the text to the list's elements in order, separator between consecutive ones; the
    // append rules apply, so a long result is cut.
    void flatten_list(char separator, CList<CString256>& list);

    // The matchers score how well the text (the subject) matches a pattern, from 0 to 1. The
    // nocase forms ignore ASCII case. Exact: 1 when equal and not empty. Partial: 1 when the
    // pattern is not empty and occurs in the subject. Approximate: with count the number of
    // pattern bytes found in order in the subject, 1 - (|S - count| + |P - count|) / (S + P)
    // for lengths S and P; two empty texts score 0, as they do for the exact matchers.
    // Wildcard: 1 when every piece of the list occurs in the subject in list order, each found
    // after the previous one; an empty list or empty piece always matches. The wildcard
    // matchers walk the list with its own cursor.
    void match_case_exact(const CString256& pattern, float* score) const;
    void match_nocase_exact(const CString256& pattern, float* score) const;
    void match_case_partial(const CString256& pattern, float* score) const;
    void match_nocase_partial(const CString256& pattern, float* score) const;
    void match_case_approximate(const CString256& pattern, float* score) const;
    void match_nocase_approximate(const CString256& pattern, float* score) const;
    void match_wildcard_case(CList<CString256>& pieces, float* score) const;
    void match_wildcard_nocase(CList<CString256>& pieces, float* score) const;

    // Calls fn(this, pattern, score).
    void match(CMatcher fn, void* pattern, float* score);
};

// Matchers for match(). The subject is a CString256*; the pattern a C text, copied into a
// CString256 (cut to 255 bytes) and scored with the matcher of the same name.
void matcher_case_exact_256(void* subject, void* pattern, float* score);
void matcher_nocase_exact_256(void* subject, void* pattern, float* score);
void matcher_case_partial_256(void* subject, void* pattern, float* score);
void matcher_nocase_partial_256(void* subject, void* pattern, float* score);
void matcher_case_approximate_256(void* subject, void* pattern, float* score);
void matcher_nocase_approximate_256(void* subject, void* pattern, float* score);
// Wildcard matchers for match(). The subject is a C text (a CString256* will do), copied into a
// CString256; the pattern a CList<CString256>* of pieces.
void match_wildcard_case_256(void* subject, void* pattern, float* score);
void match_wildcard_nocase_256(void* subject, void* pattern, float* score);
