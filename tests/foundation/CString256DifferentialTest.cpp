// Drives CString256 and a std::string model of it with the same random operations and compares
// them after every step.
#include "foundation/CString256.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::mt19937_64 rng{20240611};

std::size_t pick(std::size_t most) {
    return std::uniform_int_distribution<std::size_t>(0, most)(rng);
}

// Letters of both cases, dots, blanks, controls and bytes from 128 up; never a NUL.
std::string randomText(std::size_t maxLength) {
    static const std::string alphabet = "aAbBzZ09..  \t-_!\x7F\x80\xC9\xE9\xFF";
    std::string text(pick(maxLength), ' ');
    for (char& c : text) {
        c = alphabet[pick(alphabet.size() - 1)];
    }
    return text;
}

void appendTo(std::string& model, const std::string& operand) {
    model += operand.substr(0, 255 - model.size());
}

std::string folded(std::string s) {
    for (char& c : s) {
        c = static_cast<unsigned char>(c) < 128 ? static_cast<char>(std::toupper(c)) : c;
    }
    return s;
}

// A random text, or a piece from either end of the model with some letters upper-cased.
std::string probe(const std::string& model, bool atStart) {
    if (pick(1) == 0 || model.empty()) {
        return randomText(8);
    }
    std::size_t n = pick(model.size());
    std::string piece = atStart ? model.substr(0, n) : model.substr(model.size() - n);
    for (char& c : piece) {
        c = pick(3) == 0 && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return piece;
}

TEST(CString256Differential, RandomOperationsAgreeWithAStringModel) {
    CString256 s;
    std::string model;
    for (int step = 0; step < 20000; ++step) {
        std::size_t op = pick(10);
        std::string t = randomText(op == 1 ? 120 : 300);
        if (op == 0) {
            s = t.c_str();
            model = t.substr(0, 255);
        } else if (op == 1) {
            s += t.c_str();
            appendTo(model, t);
        } else if (op == 2) {
            s += CString256(t.c_str());
            appendTo(model, t.substr(0, 255));
        } else if (op == 3) {
            t.resize(std::min<std::size_t>(t.size(), 255));
            std::vector<unsigned char> pascal(1, static_cast<unsigned char>(t.size()));
            pascal.insert(pascal.end(), t.begin(), t.end());
            s += pascal.data();
            appendTo(model, t);
        } else if (op == 4) {
            char c = static_cast<char>(pick(255));
            s += c;
            model += c != '\0' && model.size() <= 253 ? std::string(1, c) : "";
        } else if (op == 5) {
            long n = static_cast<long>(rng()) >> pick(63);
            s += n;
            appendTo(model, std::to_string(n));
        } else if (op == 6) {
            std::string suffix = t.substr(0, pick(6));
            s.change_suffix(suffix.c_str());
            model.erase(std::min(model.rfind('.'), model.size()));
            appendTo(model, ".");
            appendTo(model, suffix);
        } else if (op == 7) {
            s.filter_to_alnum_or_punct();
            std::erase_if(model, [](char c) {
                auto u = static_cast<unsigned char>(c);
                return u >= 128 || !(std::isalnum(u) || std::ispunct(u));
            });
        } else if (op == 8) {
            s.to_lower();
            for (char& c : model) {
                auto u = static_cast<unsigned char>(c);
                c = u < 128 ? static_cast<char>(std::tolower(u)) : c;
            }
        } else if (op == 9) {
            std::string p = probe(model, true);
            bool fits = p.size() <= model.size();
            std::string head = model.substr(0, p.size());
            EXPECT_EQ(s.beginsWith(p.c_str(), 0), fits && head == p);
            EXPECT_EQ(s.beginsWith_nocase(p.c_str()), fits && folded(head) == folded(p));
        } else {
            std::string p = probe(model, false);
            bool fits = p.size() <= model.size();
            std::string tail = fits ? model.substr(model.size() - p.size()) : "";
            CString256 other(p.c_str());
            EXPECT_EQ(s.endsWith(&other, 0), fits && tail == p);
            EXPECT_EQ(s.endsWith_nocase(other), fits && folded(tail) == folded(p));
        }
        ASSERT_EQ(std::string(s.text), model) << "step " << step << ", operation " << op;
    }
}

} // namespace
