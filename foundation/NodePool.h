// The block allocator behind CString256, elem<T> and Link<K,V>.
//
// Each node class keeps a class-wide free list threaded through a `nextFree` field of its own.
// Nodes come from the heap 256 at a time and are never given back: a tray utility allocates the
// same few kinds of small node over and over, and recycling them through a free list is cheaper
// than a heap call per node. The classes' `operator new` and `operator delete` forward here.
#pragma once

#include <cstddef>
#include <new>

inline constexpr int kPoolBlockNodes = 256;

// Takes the front node of freeList. When the list is empty, allocates one block of
// kPoolBlockNodes nodes, returns its first node and chains the other ones onto freeList so that
// the block's last node comes next and the rest follow towards the block's start. Returns null
// when the block cannot be allocated; counts every block allocated in blocks.
template <class Node> void* PoolTake(Node*& freeList, long& blocks) noexcept {
    static_assert(alignof(Node) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    if (freeList != nullptr) {
        Node* node = freeList;
        freeList = node->nextFree;
        return node;
    }
    auto* block = static_cast<Node*>(::operator new(sizeof(Node) * kPoolBlockNodes, std::nothrow));
    if (block == nullptr) {
        return nullptr;
    }
    ++blocks;
    for (int i = 1; i < kPoolBlockNodes; ++i) {
        block[i].nextFree = freeList;
        freeList = &block[i];
    }
    return block;
}

// Pushes a node whose object has ended onto the front of freeList. A null node is ignored: a
// delete-expression may pass one.
template <class Node> void PoolGive(Node*& freeList, void* memory) noexcept {
    if (memory == nullptr) {
        return;
    }
    auto* node = static_cast<Node*>(memory);
    node->nextFree = freeList;
    freeList = node;
}
