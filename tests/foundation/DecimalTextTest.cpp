#include "foundation/DecimalText.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::string owned(char* text) {
    std::unique_ptr<char[]> holder(text);
    return holder.get();
}

// What the buffer form writes into a buffer of size bytes; the bytes around it must keep their
// fill.
std::string intoBuffer(short size, long value) {
    char guarded[40];
    std::fill(std::begin(guarded), std::end(guarded), '#');
    char* buffer = guarded + 4;
    itoa(buffer, size, value);
    int used = std::max<int>(size, 0);
    EXPECT_TRUE(std::all_of(guarded, buffer, [](char c) { return c == '#'; }));
    EXPECT_TRUE(std::all_of(buffer + used, std::end(guarded), [](char c) { return c == '#'; }))
        << "written past a buffer of " << size << " for " << value;
    return used > 0 ? std::string(buffer) : std::string("<untouched>");
}

TEST(DecimalText, AllocatingFormsWriteTheExtremes) {
    EXPECT_EQ(owned(itoa(-45L)), "-45");
    EXPECT_EQ(owned(itoa(LONG_MIN)), std::to_string(LONG_MIN));
    EXPECT_EQ(owned(itoa(ULONG_MAX)), std::to_string(ULONG_MAX));
    EXPECT_EQ(owned(itoa(static_cast<short>(SHRT_MIN))), std::to_string(SHRT_MIN));
}

TEST(DecimalText, BufferFormDropsTheMostSignificantDigitsAndStaysInside) {
    EXPECT_EQ(intoBuffer(3, 12345), "45");
    EXPECT_EQ(intoBuffer(6, 12345), "12345");
    EXPECT_EQ(intoBuffer(31, LONG_MIN), std::to_string(LONG_MIN));
    EXPECT_EQ(intoBuffer(20, LONG_MIN), "-223372036854775808");
    EXPECT_EQ(intoBuffer(3, -12345), "-5");
    EXPECT_EQ(intoBuffer(2, -7), "-");
    EXPECT_EQ(intoBuffer(1, -7), "");
    EXPECT_EQ(intoBuffer(0, -7), "<untouched>");
    EXPECT_EQ(intoBuffer(-5, 7), "<untouched>");
}

} // namespace
