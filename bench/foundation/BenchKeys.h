// Inputs shared by the foundation benchmarks, made once with a fixed seed.
#pragma once

#include "foundation/CString256.h"

#include <string>
#include <vector>

inline constexpr int kBenchKeys = 100000;

// kBenchKeys distinct random lowercase keys of 6 to 14 bytes, as std::string.
const std::vector<std::string>& RandomKeyTexts();
// The same keys as CString256.
const std::vector<CString256>& RandomKeys();
// kBenchKeys file paths of about 45 bytes, too long for std::string's inline buffer.
const std::vector<std::string>& PathTexts();
// count keys "key000000", "key000001", ... in ascending order.
std::vector<std::string> SortedKeyTexts(int count);
