// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/HeapSettings.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#elif defined(_WIN32)
#include <malloc.h> // _get_heap_handle
#include <windows.h>

#include <cstdint>
#endif

void configureHeap()
{
#if defined(__GLIBC__)
    // glibc gives a block of 128 KiB or more pages of its own, but raises
    // that limit to the size of each such block freed, up to 32 MiB: once
    // the first large list is gone, the next grids, record sets and texts
    // come from the shared heap, which keeps the pages they free and is
    // left with holes that later blocks do not fit. The limit fixed where
    // it starts keeps every large block apart; lower, the 88 KiB that
    // SQLite takes for each INSERT ... RETURNING would cost two system
    // calls a saved record. (Windows' heap does the like on its own.)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

#if defined(_WIN32)
namespace {

// Gives the system back the whole pages inside the heap's free blocks: it
// drops their content, and they come back as fresh zero pages when the
// heap hands them out again. Windows' own heap takes large free ranges out
// of its working set by itself; Wine's keeps every page it ever touched,
// so that one import of 32,767 members left some 30 MB of free room in the
// process. A free block's first bytes link it into the heap's free lists
// and its last ones point back to its start: a margin at either end stays
// untouched. The heap is locked meanwhile, so no thread allocates from a
// block while its pages go.
void discardFreePages(HANDLE heap, std::uintptr_t pageSize)
{
    constexpr std::uintptr_t bookkeeping = 64;
    if (!heap || !HeapLock(heap))
        return;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        constexpr WORD notFree = PROCESS_HEAP_ENTRY_BUSY | PROCESS_HEAP_REGION | PROCESS_HEAP_UNCOMMITTED_RANGE;
        if ((entry.wFlags & notFree) || entry.cbData < 2 * bookkeeping + pageSize)
            continue;
        const auto data = reinterpret_cast<std::uintptr_t>(entry.lpData);
        const std::uintptr_t begin = (data + bookkeeping + pageSize - 1) & ~(pageSize - 1);
        const std::uintptr_t end = (data + entry.cbData - bookkeeping) & ~(pageSize - 1);
        // A failure (a range the heap has already decommitted) leaves the
        // pages as they were, which is no harm.
        if (end > begin)
            VirtualAlloc(reinterpret_cast<void *>(begin), end - begin, MEM_RESET, PAGE_READWRITE);
    }
    HeapUnlock(heap);
}

} // namespace
#endif

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#elif defined(_WIN32)
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    // The C library's heap serves the program, Qt and SQLite; the process
    // heap the system's own libraries.
    discardFreePages(reinterpret_cast<HANDLE>(_get_heap_handle()), system.dwPageSize);
    discardFreePages(GetProcessHeap(), system.dwPageSize);
#endif
}
