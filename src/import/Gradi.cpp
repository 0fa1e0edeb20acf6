// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Gradi.h"

#include "import/CercaGrado.h"
#include "import/LeggiVoce.h"
#include "import/TextFile.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX

// On the file: every write or truncation, every change of its attributes
// (permissions, times, and its link count, which an unlink or a rename over
// it changes), the end of a writer, its deletion and its move.
constexpr quint32 fileEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;

// On the folder: whatever can make the name point to another file or to
// none (creation, deletion, a rename from or to the name) and attribute
// changes, the folder's own included, since its permissions decide whether
// the file can be read. Writes to other files of the folder, such as the
// database, are not asked for; the events about other names are skipped.
constexpr quint32 folderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// File systems whose changes all go through this kernel, so that inotify
// sees every one of them. A network file system is changed from elsewhere
// without a word.
bool isLocalFileSystem(int fd)
{
    struct statfs info;
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2, ext3 and ext4 alike
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// Closes a file descriptor on every way out.
class FdGuard
{
public:
    explicit FdGuard(int fd)
        : m_fd(fd)
    {
    }
    ~FdGuard() { ::close(m_fd); }
    FdGuard(const FdGuard &) = delete;
    FdGuard &operator=(const FdGuard &) = delete;

private:
    int m_fd;
};

// The whole plain file of that name in the current folder, read as
// readTextFile reads it, and its identity in info; nothing when it is
// anything else or cannot be read.
std::optional<QByteArray> readPlainFile(const QByteArray &name, struct stat &info)
{
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return std::nullopt;
    const FdGuard guard(fd);

    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !isLocalFileSystem(fd))
        return std::nullopt;

    QByteArray bytes(4096, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
        if (n > 0)
            size += n;
        else if (n == 0)
            break;
        else if (errno != EINTR)
            return std::nullopt;
    }
    bytes.truncate(size);
    return bytes;
}

#endif

} // namespace

Gradi::Gradi(const QString &path)
    : m_path(path)
{
    // Only a bare name is watched: a folder part could come to point to
    // another folder without any event in the one watched.
    if (!path.isEmpty() && !path.contains(u'/') && !path.contains(u'\\') && path != u"." && path != u"..")
        m_name = QFile::encodeName(path);
}

Gradi::~Gradi()
{
#ifdef Q_OS_LINUX
    // Closing an instance that holds watches waits for the kernel to retire
    // them, some 20 ms: the entry window owns its Gradi, so that is paid
    // once, when the window closes.
    if (m_events >= 0)
        ::close(m_events);
#endif
}

bool Gradi::CercaGrado(const QString &phrase)
{
    // The parser grows a rank a word at a time: a phrase that adds words to
    // the one just answered "no" goes on reading the same rank, and is
    // answered from the same reading without asking the system again.
    minuscole(phrase, m_asked);
    const qsizetype last = m_lowered.size();
    const bool sameRank = m_loaded && m_armed && m_lastNotFound && m_asked.size() > last && m_asked[last] == u' '
                          && m_asked.startsWith(m_lowered);
    m_lowered.swap(m_asked);
    if (!sameRank && !unchanged())
        arm();
    if (m_loaded) {
        m_lastNotFound = !m_names.contains(m_lowered);
        return !m_lastNotFound;
    }
    m_lastNotFound = false;
    ++m_letture;
    return ::CercaGrado(phrase, m_path);
}

void Gradi::verificaFile()
{
#ifdef Q_OS_LINUX
    // Without names kept every call reads the file through its name.
    if (!m_loaded)
        return;
    struct stat info;
    if (m_inode == 0 || ::lstat(m_name.constData(), &info) != 0 || static_cast<quint64>(info.st_dev) != m_device
        || static_cast<quint64>(info.st_ino) != m_inode)
        m_armed = false;
#endif
}

bool Gradi::unchanged()
{
#ifdef Q_OS_LINUX
    if (!m_armed)
        return false;

    // Room for at least one event with the longest name.
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_events, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // An empty queue is the proof; any other failure is doubt.
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        if (n < static_cast<ssize_t>(sizeof(inotify_event)))
            return false;
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            if (n - at < static_cast<ssize_t>(sizeof event))
                return false;
            std::memcpy(&event, buffer + at, sizeof event);
            const char *name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (at > n)
                return false;
            if (event.mask & (IN_Q_OVERFLOW | IN_UNMOUNT))
                return false;
            if (event.wd == m_fileWatch)
                return false;
            // The folder itself, or the file's name in it.
            if (event.wd == m_folderWatch && (event.len == 0 || std::strcmp(name, m_name.constData()) == 0))
                return false;
            // Other names of the folder, and the watch of a file that no
            // longer has the name, tell nothing about it.
        }
    }
#else
    return false;
#endif
}

void Gradi::arm()
{
    m_armed = false;
    m_loaded = false;
    m_names.clear();
#ifdef Q_OS_LINUX
    if (m_name.isEmpty())
        return;

    // One instance for the object's life: the watches are renewed in it,
    // since closing it is slow. Whatever is queued is about the state
    // before this read, so it goes.
    if (m_events < 0) {
        m_events = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_events < 0)
            return;
    } else if (!drain()) {
        return;
    }

    // The watches come before the read, so that a change made while the
    // file is read is waiting in the queue at the next call. Watching an
    // inode already watched keeps its watch; the watch of a file that no
    // longer has the name is removed.
    m_folderWatch = ::inotify_add_watch(m_events, ".", folderEvents);
    if (m_folderWatch < 0)
        return;
    const int fileWatch = ::inotify_add_watch(m_events, m_name.constData(), fileEvents | IN_DONT_FOLLOW);
    if (m_fileWatch >= 0 && fileWatch != m_fileWatch)
        ::inotify_rm_watch(m_events, m_fileWatch);
    m_fileWatch = fileWatch;
    if (m_fileWatch < 0)
        return;
    // From here on the queue tells whether the outcome of this read still
    // stands, names or no names: a file that cannot be read from memory
    // (a link, no plain file, a file system not known to be local) is then
    // read through CercaGrado at each call without arming again.
    m_armed = true;

    struct stat info;
    const std::optional<QByteArray> bytes = readPlainFile(m_name, info);
    if (!bytes)
        return;
    m_device = static_cast<quint64>(info.st_dev);
    m_inode = static_cast<quint64>(info.st_ino);
    const QString content = decodeText(*bytes);
    const QStringView text(content);
    qsizetype pos = 0;
    while (pos < text.size())
        m_names.insert(nextItem(text, pos).toString().toLower());
    m_loaded = true;
    ++m_letture;
#endif
}

bool Gradi::drain()
{
#ifdef Q_OS_LINUX
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_events, buffer, sizeof buffer);
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
#else
    return false;
#endif
}
