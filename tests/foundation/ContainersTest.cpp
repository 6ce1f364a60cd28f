#include "foundation/CList.h"
#include "foundation/CMap.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Entry {
    unsigned long type;
    char tag[6];
};

using TextMap = CMap<CString256, Entry>;

std::vector<std::string> insertionOrder(TextMap& map) {
    std::vector<std::string> keys;
    auto& links = map.links;
    for (links.cursor = links.head; links.cursor != nullptr; links.cursor = links.cursor->next) {
        keys.emplace_back(links.cursor->data->key.text);
    }
    return keys;
}

TEST(CMap, KeysAreUniqueCaseSensitiveAndListedInInsertionOrder) {
    TextMap map;
    map.insert(CString256("b"), Entry{});
    map.insert(CString256("a"), Entry{});
    map.insert(CString256("c"), Entry{});
    EXPECT_EQ(insertionOrder(map), (std::vector<std::string>{"b", "a", "c"}));

    Link<CString256, Entry>* a = map.insert(CString256("a"), Entry{42, "x"});
    EXPECT_EQ(a, map.lookup(CString256("a")));
    EXPECT_EQ(a->value.type, 0u);
    EXPECT_EQ(map.count, 3);
    EXPECT_EQ(map.links.count, 3);
    EXPECT_EQ(map.lookup(CString256("A")), nullptr);

    map.clear();
    EXPECT_EQ(map.count, 0);
    EXPECT_EQ(map.lookup(CString256("a")), nullptr);
    map.insert(CString256("d"), Entry{});
    EXPECT_EQ(insertionOrder(map), (std::vector<std::string>{"d"}));
}

} // namespace
