#pragma once

#include <cstddef>

// While one lives on a thread, the records that thread creates (past the first few) are
// carved out of shared blocks instead of being allocated one by one: a read of 100,000
// records makes a hundred allocations instead of 100,000, its records lie together, and a
// block aligned to its size can be backed by huge pages, so that filling it costs one page
// fault instead of 512. A block is freed when the last record carved from it is deleted, on
// whatever thread; a record kept after the others are gone keeps its block alive. Scopes
// nest; the outermost one ends the thread's current block.
class XRecordBulk
{
public:
    XRecordBulk();
    ~XRecordBulk();
    XRecordBulk(const XRecordBulk&) = delete;
    XRecordBulk& operator=(const XRecordBulk&) = delete;

    static constexpr std::size_t kBlockBytes = 2 * 1024 * 1024;

    // The allocation behind every record's new and delete (CXItem's operators).
    static void* Allocate(std::size_t size);
    static void Release(void* record) noexcept;
    // Blocks allocated and not yet freed, on all threads.
    static long LiveBlocks();
};
