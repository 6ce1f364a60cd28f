#include "foundation/CList.h"
#include "foundation/CMap.h"

#include <cstdio>
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

TEST(CMap, KeepsInsertionOrderAndTreeOrder) {
    TextMap map;
    Entry e{};
    Link<CString256, Entry>* b = map.insert(CString256("b"), e);
    map.insert(CString256("a"), e);
    map.insert(CString256("c"), e);
    EXPECT_EQ(map.root, b);
    EXPECT_STREQ(map.root->left->key.text, "a");
    EXPECT_STREQ(map.root->right->key.text, "c");
    EXPECT_EQ(insertionOrder(map), (std::vector<std::string>{"b", "a", "c"}));

    Link<CString256, Entry>* a = map.insert(CString256("a"), Entry{42, "x"});
    EXPECT_EQ(a, map.lookup(CString256("a")));
    EXPECT_EQ(a->value.type, 0u);
    EXPECT_EQ(map.count, 3);
    EXPECT_EQ(map.links.count, 3);
    EXPECT_EQ(map.lookup(CString256("A")), nullptr);
    a->value.type = 7;
    EXPECT_EQ(map.lookup(CString256("a"))->value.type, 7u);
}

TEST(CMap, ClearEmptiesTheMapAndRecyclesItsLinks) {
    TextMap map;
    map.insert(CString256("one"), Entry{});
    Link<CString256, Entry>* last = map.insert(CString256("two"), Entry{});
    map.clear();
    EXPECT_EQ(map.count, 0);
    EXPECT_EQ(map.root, nullptr);
    EXPECT_EQ(map.links.head, nullptr);
    EXPECT_EQ(map.lookup(CString256("one")), nullptr);
    EXPECT_EQ(map.insert(CString256("three"), Entry{}), last);
    EXPECT_STREQ(last->key.text, "three");
}

TEST(CMap, NumericKeysOrderNumerically) {
    CMap<unsigned long, Entry> map;
    for (unsigned long key : {50UL, 10UL, 90UL, 0UL, ~0UL}) {
        map.insert(key, Entry{key, ""});
    }
    EXPECT_EQ(map.root->right->right->key, ~0UL);
    EXPECT_EQ(map.root->left->left->key, 0UL);
    EXPECT_EQ(map.lookup(11), nullptr);
}

} // namespace
