#include "XRecordBulk.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include <malloc.h>
#include <sys/mman.h>

namespace {

// Each record is preceded by the block it was carved from (null: allocated alone); 16
// bytes keep the record at the alignment the allocator gives.
struct alignas(16) Header
{
    struct Block* block;
};

// A block starts with this, its records follow.
struct alignas(16) Block
{
    // the records carved from it and not yet deleted, plus one while a scope carves from it
    std::atomic<long> refs{1};
    std::size_t used = sizeof(Block);
};

// The first records of a scope are allocated alone: a read of one record for a dialog must
// not hold a whole block.
constexpr int kAloneFirst = 64;

std::atomic<long> g_liveBlocks{0};
thread_local int t_depth = 0;
thread_local int t_made = 0;
thread_local Block* t_block = nullptr;

// Freed blocks are kept for the next read, up to a bound: memory the system hands out anew
// costs a page fault per page, more than filling the records themselves.
constexpr std::size_t kKeptBlocks = 128; // 256 MiB: a read of 100,000 large records
std::mutex g_keptMutex;
// never destroyed: a record may outlive the static objects at exit
std::vector<Block*>& g_kept = *new std::vector<Block*>;

void* Raw(std::size_t bytes)
{
    void* raw = std::malloc(bytes);
    if (!raw)
        throw std::bad_alloc();
    return raw;
}

Block* NewBlock()
{
    {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        if (!g_kept.empty()) {
            Block* block = g_kept.back();
            g_kept.pop_back();
            g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
            return new (block) Block;
        }
    }
    // Aligned to its size, so that the system can back it with huge pages: one page fault
    // for the whole block instead of one per 4 KiB.
    void* raw = std::aligned_alloc(XRecordBulk::kBlockBytes, XRecordBulk::kBlockBytes);
    if (!raw)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(raw, XRecordBulk::kBlockBytes, MADV_HUGEPAGE);
#endif
    g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
    return new (raw) Block;
}

void Unref(Block* block)
{
    if (block->refs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    block->~Block();
    g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        if (g_kept.size() < kKeptBlocks) {
            g_kept.push_back(block);
            return;
        }
    }
    std::free(block);
}

void* Alone(std::size_t size)
{
    auto* header = static_cast<Header*>(Raw(sizeof(Header) + size));
    header->block = nullptr;
    return header + 1;
}

} // namespace

XRecordBulk::XRecordBulk()
{
    // The texts and lists of the records read stay with the heap: by default it hands back
    // freed memory above a threshold of a few hundred KiB, and gives large lists pages of
    // their own, so every read of many records would fault its pages in afresh. Setting the
    // trim threshold ends the default's adjustment, so the mapping threshold is set with it.
    static const bool keepHeap = [] {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
        return true;
    }();
    (void)keepHeap;
    if (t_depth++ == 0)
        t_made = 0;
}

XRecordBulk::~XRecordBulk()
{
    if (--t_depth == 0 && t_block) {
        Unref(t_block);
        t_block = nullptr;
    }
}

void* XRecordBulk::Allocate(std::size_t size)
{
    const std::size_t need = (sizeof(Header) + size + 15) & ~std::size_t(15);
    // a record too large for a small part of a block goes alone
    if (t_depth == 0 || need > kBlockBytes / 16 || t_made++ < kAloneFirst)
        return Alone(size);
    Block* block = t_block;
    if (!block || block->used + need > kBlockBytes) {
        if (block)
            Unref(block);
        t_block = block = NewBlock();
        if (!block)
            return Alone(size);
    }
    char* at = reinterpret_cast<char*>(block) + block->used;
    block->used += need;
    block->refs.fetch_add(1, std::memory_order_relaxed);
    reinterpret_cast<Header*>(at)->block = block;
    return at + sizeof(Header);
}

void XRecordBulk::Release(void* record) noexcept
{
    if (!record)
        return;
    Header* header = static_cast<Header*>(record) - 1;
    if (header->block)
        Unref(header->block);
    else
        std::free(header);
}

long XRecordBulk::LiveBlocks() { return g_liveBlocks.load(std::memory_order_relaxed); }
