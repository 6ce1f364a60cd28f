// CMap<K,V>: a map stored as an unbalanced binary search tree that also lists its entries in
// insertion order.
//
// Keys are CString256 (ordered by strcmp, so case counts) or unsigned long (ordered
// numerically); each key is stored at most once. Values are copied in and out, so V should be
// trivially copyable. Callers reach a stored value through the Link that insert() returns and
// may write it in place. Links stay at their address for as long as they belong to the map.
// The tree is never rebalanced: keys inserted in sorted order degrade it to a list.
#pragma once

#include "foundation/CList.h"
#include "foundation/CString256.h"

#include <cstring>

inline int CompareMapKeys(const CString256& a, const CString256& b) {
    return std::strcmp(a.text, b.text);
}

inline int CompareMapKeys(unsigned long a, unsigned long b) {
    return (a > b) - (a < b);
}

template <class K, class V> struct Link {
    K key;
    V value;
    Link* left;     // smaller keys
    Link* right;    // greater keys
    Link* nextFree; // next node on lfree while this node is free; meaningless otherwise

    static inline Link* lfree = nullptr;
    static inline long nblocks = 0; // blocks taken from the heap by this pool

    Link(const K& k, const V& v)
        : key(k), value(v), left(nullptr), right(nullptr), nextFree(nullptr) {}

    static void* operator new(std::size_t) noexcept { return PoolTake(lfree, nblocks); }
    static void operator delete(void* memory) noexcept { PoolGive(lfree, memory); }
};

template <class K, class V> struct CMap {
    using LinkType = Link<K, V>;

    LinkType* root = nullptr;
    V vdefault;
    K kdefault;
    CList<LinkType*> links; // every link, in insertion order
    int count = 0;

    // The class-wide default key (empty text, or 0) and value (all zero bytes).
    static const K& kdef() {
        static const K key{};
        return key;
    }
    static const V& vdef() {
        static const V value{};
        return value;
    }

    CMap() : vdefault(vdef()), kdefault(kdef()) {}
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() { clear(); }

    // The link holding key, or null.
    LinkType* lookup(const K& key) const {
        LinkType* link = root;
        while (link != nullptr) {
            prefetch(link->left);
            prefetch(link->right);
            int order = CompareMapKeys(key, link->key);
            if (order == 0) {
                return link;
            }
            link = order < 0 ? link->left : link->right;
        }
        return nullptr;
    }

    // The link holding key; when there is none yet, a new link holding key and value. Null when
    // a new link is needed and cannot be had, and then the map is unchanged.
    LinkType* insert(const K& key, const V& value) {
        LinkType** slot = &root;
        while (*slot != nullptr) {
            prefetch((*slot)->left);
            prefetch((*slot)->right);
            int order = CompareMapKeys(key, (*slot)->key);
            if (order == 0) {
                return *slot;
            }
            slot = order < 0 ? &(*slot)->left : &(*slot)->right;
        }
        LinkType* link = new LinkType(key, value);
        if (link == nullptr) {
            return nullptr;
        }
        int listed = links.count;
        links.append(link);
        if (links.count == listed) {
            delete link;
            return nullptr;
        }
        ++count;
        ins(*slot, link);
        return link;
    }

    // Stores link in the subtree at slot, at the place its key orders it. False, storing nothing,
    // when the subtree already holds an equal key. Iterative, so that a tree degraded to a long
    // chain cannot exhaust the stack.
    bool ins(LinkType*& slot, LinkType*& link) {
        LinkType** at = &slot;
        while (*at != nullptr) {
            int order = CompareMapKeys(link->key, (*at)->key);
            if (order == 0) {
                return false;
            }
            at = order < 0 ? &(*at)->left : &(*at)->right;
        }
        *at = link;
        return true;
    }

    // Returns every link to the pool; the map is then empty.
    void clear() {
        for (links.cursor = links.head; links.cursor != nullptr;
             links.cursor = links.cursor->next) {
            delete links.cursor->data;
        }
        links.clear();
        root = nullptr;
        count = 0;
    }

private:
    // A walk reads two places of every link it visits: the start of the key and, past the key
    // and value, the child pointers. Asking for both places of both children while the key is
    // compared overlaps the next level's memory latency with this level's work.
    static void prefetch(const LinkType* link) {
        if (link != nullptr) {
            __builtin_prefetch(&link->key);
            __builtin_prefetch(&link->left);
        }
    }
};
