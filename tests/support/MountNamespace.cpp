// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/MountNamespace.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
bool writeProcFile(const char *path, const std::string &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}
#endif

} // namespace

bool enterOwnMountNamespace()
{
#ifdef Q_OS_LINUX
    if (::unshare(CLONE_NEWNS) != 0) {
        const std::string uid = std::to_string(::geteuid());
        const std::string gid = std::to_string(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        // The same ids inside, so that the files made there are ours.
        if (!writeProcFile("/proc/self/setgroups", "deny")
            || !writeProcFile("/proc/self/uid_map", uid + ' ' + uid + " 1")
            || !writeProcFile("/proc/self/gid_map", gid + ' ' + gid + " 1"))
            return false;
    }
    // Nothing mounted from here on reaches the namespace left behind.
    return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#else
    return false;
#endif
}
