#include "foundation/CString256.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using C = CString256;

void fill(CList<C>& list, std::initializer_list<const char*> texts) {
    list.clear();
    for (const char* t : texts) {
        list.append(C(t));
    }
}

std::vector<std::string> contents(CList<C>& list) {
    std::vector<std::string> out;
    for (list.cursor = list.head; list.cursor != nullptr; list.cursor = list.cursor->next) {
        out.emplace_back(list.cursor->data.text);
    }
    return out;
}

float scored(const char* subject, void (C::*matcher)(const C&, float*) const, const char* pattern) {
    float score = -1.0f;
    (C(subject).*matcher)(C(pattern), &score);
    return score;
}

TEST(Matching, ExactAndPartial) {
    EXPECT_EQ(scored("abc", &C::match_case_exact, "abc"), 1.0f);
    EXPECT_EQ(scored("abc", &C::match_case_exact, "ab"), 0.0f);
    EXPECT_EQ(scored("", &C::match_nocase_exact, ""), 0.0f);
    EXPECT_EQ(scored("abc", &C::match_case_partial, "bc"), 1.0f);
    EXPECT_EQ(scored("abc", &C::match_case_partial, ""), 0.0f);
    EXPECT_EQ(scored("abc", &C::match_nocase_partial, "BC"), 1.0f);
}

TEST(Matching, ApproximateCountsPatternBytesFoundInOrder) {
    EXPECT_EQ(scored("hello", &C::match_case_approximate, "hlo"), 0.75f);
    EXPECT_EQ(scored("", &C::match_case_approximate, ""), 0.0f);
    // x is not found and leaves the position; l is then found after e.
    EXPECT_EQ(scored("hello", &C::match_case_approximate, "exl"), 0.5f);
    EXPECT_FLOAT_EQ(scored("hello", &C::match_case_approximate, "ol"), 1.0f - 5.0f / 7.0f);
    EXPECT_EQ(scored("HELLO", &C::match_case_approximate, "hlo"), 0.0f);
    EXPECT_EQ(scored("HELLO", &C::match_nocase_approximate, "hlo"), 0.75f);
}

TEST(Matching, WildcardPiecesMustOccurInOrderWithoutOverlap) {
    C subject("Report 2024 final");
    CList<C> pieces;
    float score = -1.0f;
    fill(pieces, {"report", "final"});
    subject.match_wildcard_nocase(pieces, &score);
    EXPECT_EQ(score, 1.0f);
    subject.match_wildcard_case(pieces, &score);
    EXPECT_EQ(score, 0.0f);
    fill(pieces, {"final", "report"});
    subject.match_wildcard_nocase(pieces, &score);
    EXPECT_EQ(score, 0.0f);
    fill(pieces, {"Rep", "", "rt", "al"});
    subject.match_wildcard_case(pieces, &score);
    EXPECT_EQ(score, 1.0f);
    fill(pieces, {"aa", "aa"});
    C("aaa").match_wildcard_case(pieces, &score);
    EXPECT_EQ(score, 0.0f);
    fill(pieces, {});
    C("").match_wildcard_case(pieces, &score);
    EXPECT_EQ(score, 1.0f);
}

TEST(Matching, DispatchThroughTheAdapters) {
    C subject("Holiday.JPG");
    float score = -1.0f;
    char jpg[] = ".jpg";
    char same[] = "holiday.jpg";
    const std::pair<CMatcher, char*> fullMatches[] = {{matcher_nocase_partial_256, jpg},
                                                      {matcher_nocase_exact_256, same},
                                                      {matcher_nocase_approximate_256, same}};
    for (auto [matcher, pattern] : fullMatches) {
        subject.match(matcher, pattern, &score);
        EXPECT_EQ(score, 1.0f);
    }
    subject.match(matcher_case_exact_256, same, &score);
    EXPECT_EQ(score, 0.0f);
}

TEST(Matching, ParseAndFlattenLists) {
    CList<C> list;
    fill(list, {"stale"});
    C(",a,,b,").parse_into_list(",", list);
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b"}));
    C flat("old");
    flat.flatten_list('-', list);
    EXPECT_STREQ(flat.text, "a-b");
    C(",,,").parse_into_list(",", list);
    flat.flatten_list('-', list);
    EXPECT_EQ(list.count, 0);
    EXPECT_STREQ(flat.text, "");

    // 200 + "/" + 54 bytes fill the text: the third element and its separator are dropped.
    std::string p200(200, 'p'), q54(54, 'q'), p254(254, 'p');
    fill(list, {p200.c_str(), q54.c_str(), "r"});
    flat.flatten_list('/', list);
    EXPECT_EQ(std::string(flat.text), p200 + "/" + q54);
    // At 254 bytes the separator is refused but the next element still fits.
    fill(list, {p254.c_str(), "r"});
    flat.flatten_list('/', list);
    EXPECT_EQ(std::string(flat.text), p254 + "r");
}

} // namespace
