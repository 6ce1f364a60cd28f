#include "BenchKeys.h"

#include <cstdio>
#include <random>
#include <unordered_set>

const std::vector<std::string>& RandomKeyTexts() {
    static const std::vector<std::string> keys = [] {
        std::mt19937 rng(12345);
        std::uniform_int_distribution<int> length(6, 14);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::unordered_set<std::string> seen;
        std::vector<std::string> made;
        while (static_cast<int>(made.size()) < kBenchKeys) {
            std::string key(length(rng), ' ');
            for (char& c : key) {
                c = static_cast<char>(letter(rng));
            }
            if (seen.insert(key).second) {
                made.push_back(key);
            }
        }
        return made;
    }();
    return keys;
}

const std::vector<CString256>& RandomKeys() {
    static const std::vector<CString256> keys = [] {
        std::vector<CString256> made;
        for (const std::string& text : RandomKeyTexts()) {
            made.emplace_back(text.c_str());
        }
        return made;
    }();
    return keys;
}

const std::vector<std::string>& PathTexts() {
    static const std::vector<std::string> paths = [] {
        std::vector<std::string> made;
        char path[64];
        for (int i = 0; i < kBenchKeys; ++i) {
            std::snprintf(path, sizeof path, "/home/ana/Documents/Projects/report-%06d.pdf", i);
            made.emplace_back(path);
        }
        return made;
    }();
    return paths;
}

std::vector<std::string> SortedKeyTexts(int count) {
    std::vector<std::string> keys;
    char key[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "key%06d", i);
        keys.emplace_back(key);
    }
    return keys;
}
