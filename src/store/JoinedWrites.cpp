// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/JoinedWrites.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

// SQLite writes a frame of the log as two writes: its 24-byte header, then
// its page right after it. Here the header of a frame that extends the log
// is held back until the next call on the file: a write that continues it
// goes out with it as one write; anything else (another write, a read, a
// sync, a size, a lock, a close) first writes the header alone. SQLite
// writes an appended frame's page as soon as its header, and only then
// marks the frame in the log's index and returns. A header written over a
// frame already in the log is never held: SQLite rewrites the headers of a
// transaction's frames alone, without their pages, when the transaction
// changes a page it had already spilled into the log, and the last of them,
// the commit's, would have no call after it. So every commit is in the
// file, whole, when the statement returns, as without this layer.

namespace {

constexpr int frameHeaderSize = 24;
constexpr char vfsName[] = "quadrivo-joined";

struct JoinedFile
{
    sqlite3_file base;  // first, as SQLite sees it
    sqlite3_file *real; // the underlying layer's file, in the same block
    bool log;
    int held; // bytes of header held back: 0 or frameHeaderSize
    sqlite3_int64 heldAt;
    sqlite3_int64 end; // how far this connection has written the log
    unsigned char header[frameHeaderSize];
    unsigned char *joined; // header and page, for the joined write
    sqlite3_int64 joinedCapacity;
};

JoinedFile *joinedFile(sqlite3_file *file)
{
    return reinterpret_cast<JoinedFile *>(file);
}

sqlite3_file *realFile(sqlite3_file *file)
{
    return joinedFile(file)->real;
}

const sqlite3_io_methods &realMethods(sqlite3_file *file)
{
    return *realFile(file)->pMethods;
}

// Writes through to the file underneath, noting how far the log goes. The
// log's own header, at its start, begins a new log.
int writeThrough(sqlite3_file *file, const void *data, int bytes, sqlite3_int64 offset)
{
    JoinedFile *f = joinedFile(file);
    if (offset == 0)
        f->end = 0;
    f->end = std::max(f->end, offset + bytes);
    return realMethods(file).xWrite(f->real, data, bytes, offset);
}

// Writes the header held back, if any.
int flush(sqlite3_file *file)
{
    JoinedFile *f = joinedFile(file);
    if (f->held == 0)
        return SQLITE_OK;
    const int bytes = f->held;
    f->held = 0;
    return writeThrough(file, f->header, bytes, f->heldAt);
}

// Passes the call to the file underneath, after the header held back, if
// any, is written.
template <auto Method, typename... Args> int flushThen(sqlite3_file *file, Args... args)
{
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc : (realMethods(file).*Method)(realFile(file), args...);
}

// Passes the call to the file underneath.
template <auto Method, typename... Args> int passOn(sqlite3_file *file, Args... args)
{
    return (realMethods(file).*Method)(realFile(file), args...);
}

int xClose(sqlite3_file *file)
{
    JoinedFile *f = joinedFile(file);
    const int flushed = flush(file);
    const int closed = realMethods(file).xClose(f->real);
    sqlite3_free(f->joined);
    f->joined = nullptr;
    return flushed != SQLITE_OK ? flushed : closed;
}

int xWrite(sqlite3_file *file, const void *data, int bytes, sqlite3_int64 offset)
{
    JoinedFile *f = joinedFile(file);
    if (f->log && f->held != 0 && offset == f->heldAt + f->held && bytes > 0) {
        const sqlite3_int64 total = sqlite3_int64(f->held) + bytes;
        if (total > f->joinedCapacity) {
            auto *grown = static_cast<unsigned char *>(sqlite3_realloc64(f->joined, sqlite3_uint64(total)));
            if (!grown) {
                const int rc = flush(file);
                return rc != SQLITE_OK ? rc : writeThrough(file, data, bytes, offset);
            }
            f->joined = grown;
            f->joinedCapacity = total;
        }
        std::memcpy(f->joined, f->header, std::size_t(f->held));
        std::memcpy(f->joined + f->held, data, std::size_t(bytes));
        const sqlite3_int64 at = f->heldAt;
        f->held = 0;
        return writeThrough(file, f->joined, int(total), at);
    }
    const int rc = flush(file);
    if (rc != SQLITE_OK)
        return rc;
    if (f->log && bytes == frameHeaderSize && offset >= f->end) {
        std::memcpy(f->header, data, frameHeaderSize);
        f->held = frameHeaderSize;
        f->heldAt = offset;
        return SQLITE_OK;
    }
    return writeThrough(file, data, bytes, offset);
}

int xFileControl(sqlite3_file *file, int op, void *arg)
{
    int rc = flush(file);
    if (rc != SQLITE_OK)
        return rc;
    rc = realMethods(file).xFileControl(realFile(file), op, arg);
    // The layers in use, top first, as SQLite's own layers name them.
    if (op == SQLITE_FCNTL_VFSNAME && rc == SQLITE_OK)
        *static_cast<char **>(arg) = sqlite3_mprintf("%s/%z", vfsName, *static_cast<char **>(arg));
    return rc;
}

void xShmBarrier(sqlite3_file *file)
{
    flush(file);
    realMethods(file).xShmBarrier(realFile(file));
}

// The methods for a file whose own methods are of the given version: what
// these lack (memory mapping, shared memory), SQLite does without.
const sqlite3_io_methods *joinedMethods(int version)
{
    static const sqlite3_io_methods full = {
        .iVersion = 3,
        .xClose = xClose,
        .xRead = flushThen<&sqlite3_io_methods::xRead, void *, int, sqlite3_int64>,
        .xWrite = xWrite,
        .xTruncate = flushThen<&sqlite3_io_methods::xTruncate, sqlite3_int64>,
        .xSync = flushThen<&sqlite3_io_methods::xSync, int>,
        .xFileSize = flushThen<&sqlite3_io_methods::xFileSize, sqlite3_int64 *>,
        .xLock = flushThen<&sqlite3_io_methods::xLock, int>,
        .xUnlock = flushThen<&sqlite3_io_methods::xUnlock, int>,
        .xCheckReservedLock = passOn<&sqlite3_io_methods::xCheckReservedLock, int *>,
        .xFileControl = xFileControl,
        .xSectorSize = passOn<&sqlite3_io_methods::xSectorSize>,
        .xDeviceCharacteristics = passOn<&sqlite3_io_methods::xDeviceCharacteristics>,
        .xShmMap = flushThen<&sqlite3_io_methods::xShmMap, int, int, int, void volatile **>,
        .xShmLock = flushThen<&sqlite3_io_methods::xShmLock, int, int, int>,
        .xShmBarrier = xShmBarrier,
        .xShmUnmap = flushThen<&sqlite3_io_methods::xShmUnmap, int>,
        .xFetch = flushThen<&sqlite3_io_methods::xFetch, sqlite3_int64, int, void **>,
        .xUnfetch = passOn<&sqlite3_io_methods::xUnfetch, sqlite3_int64, void *>,
    };
    static const sqlite3_io_methods withoutMapping = [] {
        sqlite3_io_methods methods = full;
        methods.iVersion = 2;
        methods.xFetch = nullptr;
        methods.xUnfetch = nullptr;
        return methods;
    }();
    static const sqlite3_io_methods withoutSharedMemory = [] {
        sqlite3_io_methods methods = withoutMapping;
        methods.iVersion = 1;
        methods.xShmMap = nullptr;
        methods.xShmLock = nullptr;
        methods.xShmBarrier = nullptr;
        methods.xShmUnmap = nullptr;
        return methods;
    }();
    return version >= 3 ? &full : version == 2 ? &withoutMapping : &withoutSharedMemory;
}

// The underlying layer's file lies right after ours in the block SQLite
// gives, at an offset that keeps it aligned.
constexpr int realOffset =
    int((sizeof(JoinedFile) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t));

// The layer under this one, which its own record keeps.
sqlite3_vfs *under(sqlite3_vfs *vfs)
{
    return static_cast<sqlite3_vfs *>(vfs->pAppData);
}

int xOpen(sqlite3_vfs *vfs, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    sqlite3_vfs *underlying = under(vfs);
    JoinedFile *f = joinedFile(file);
    std::memset(f, 0, sizeof(JoinedFile));
    f->real = reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + realOffset);
    f->real->pMethods = nullptr;
    const int rc = underlying->xOpen(underlying, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK || !f->real->pMethods) {
        // SQLite calls no method of a file that did not open.
        if (f->real->pMethods)
            f->real->pMethods->xClose(f->real);
        f->base.pMethods = nullptr;
        return rc != SQLITE_OK ? rc : SQLITE_CANTOPEN;
    }
    f->log = (flags & SQLITE_OPEN_WAL) != 0;
    f->base.pMethods = joinedMethods(f->real->pMethods->iVersion);
    return SQLITE_OK;
}

// Registers the layer over the default one, for the life of the process:
// SQLite keeps the record it is given.
bool registerJoinedWrites()
{
    if (sqlite3_initialize() != SQLITE_OK)
        return false;
    sqlite3_vfs *underlying = sqlite3_vfs_find(nullptr);
    if (!underlying || underlying->iVersion < 2 || !underlying->xGetLastError)
        return false;
    auto *vfs = new sqlite3_vfs{
        .iVersion = 2,
        .szOsFile = realOffset + underlying->szOsFile,
        .mxPathname = underlying->mxPathname,
        .pNext = nullptr,
        .zName = vfsName,
        .pAppData = underlying,
        .xOpen = xOpen,
        // The rest is the underlying layer's.
        .xDelete = [](sqlite3_vfs *v, const char *name, int sync) { return under(v)->xDelete(under(v), name, sync); },
        .xAccess = [](sqlite3_vfs *v, const char *name, int flags,
                      int *out) { return under(v)->xAccess(under(v), name, flags, out); },
        .xFullPathname = [](sqlite3_vfs *v, const char *name, int size,
                            char *out) { return under(v)->xFullPathname(under(v), name, size, out); },
        .xDlOpen = [](sqlite3_vfs *v, const char *name) { return under(v)->xDlOpen(under(v), name); },
        .xDlError = [](sqlite3_vfs *v, int size, char *out) { under(v)->xDlError(under(v), size, out); },
        .xDlSym = [](sqlite3_vfs *v, void *library,
                     const char *symbol) { return under(v)->xDlSym(under(v), library, symbol); },
        .xDlClose = [](sqlite3_vfs *v, void *library) { under(v)->xDlClose(under(v), library); },
        .xRandomness = [](sqlite3_vfs *v, int size, char *out) { return under(v)->xRandomness(under(v), size, out); },
        .xSleep = [](sqlite3_vfs *v, int microseconds) { return under(v)->xSleep(under(v), microseconds); },
        .xCurrentTime = [](sqlite3_vfs *v, double *now) { return under(v)->xCurrentTime(under(v), now); },
        .xGetLastError = [](sqlite3_vfs *v, int size,
                            char *out) { return under(v)->xGetLastError(under(v), size, out); },
        .xCurrentTimeInt64 = [](sqlite3_vfs *v,
                                sqlite3_int64 *now) { return under(v)->xCurrentTimeInt64(under(v), now); },
        .xSetSystemCall = nullptr,
        .xGetSystemCall = nullptr,
        .xNextSystemCall = nullptr,
    };
    if (sqlite3_vfs_register(vfs, 0) == SQLITE_OK)
        return true;
    delete vfs;
    return false;
}

} // namespace

const char *joinedWritesVfs()
{
    static const bool registered = registerJoinedWrites();
    return registered ? vfsName : "";
}
