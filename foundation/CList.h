// CList<T>: a singly linked list that grows only at its tail and is emptied as a whole.
//
// Its users traverse it themselves: set `cursor` to `head` and follow the `next` links. Nodes
// (elem<T>) come from a class-wide pool shared by every list of the same T (see NodePool.h).
#pragma once

#include "foundation/NodePool.h"

template <class T> struct elem {
    T data;
    elem* next;
    elem* nextFree; // next node on lfree while this node is free; meaningless otherwise

    static inline elem* lfree = nullptr;
    static inline long nblocks = 0; // blocks taken from the heap by this pool

    explicit elem(const T& value) : data(value), next(nullptr), nextFree(nullptr) {}

    static void* operator new(std::size_t) noexcept { return PoolTake(lfree, nblocks); }
    static void operator delete(void* memory) noexcept { PoolGive(lfree, memory); }
};

template <class T> struct CList {
    elem<T>* head = nullptr;
    elem<T>* tail = nullptr;
    elem<T>* cursor = nullptr;
    int count = 0;

    CList() = default;
    // A copy would share the nodes, and clearing both would put them on the free list twice.
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { clear(); }

    // Appends a copy of value and leaves the cursor at the previous tail. Appends nothing when no
    // node can be had.
    void append(const T& value) {
        elem<T>* node = new elem<T>(value);
        if (node == nullptr) {
            return;
        }
        cursor = tail;
        if (tail == nullptr) {
            head = node;
        } else {
            tail->next = node;
        }
        tail = node;
        ++count;
    }

    // Returns every node to the pool; the list is then empty.
    void clear() {
        for (cursor = head; cursor != nullptr;) {
            elem<T>* node = cursor;
            cursor = cursor->next;
            delete node;
        }
        head = nullptr;
        tail = nullptr;
        count = 0;
    }
};
