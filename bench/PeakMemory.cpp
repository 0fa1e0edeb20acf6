// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "PeakMemory.h"

#if defined(Q_OS_WIN)
// psapi.h needs the types of windows.h before it.
#include <windows.h>

#include <psapi.h>
#elif defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

qint64 peakMemoryBytes()
{
#if defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return static_cast<qint64>(counters.PeakWorkingSetSize);
    return 0;
#elif defined(Q_OS_UNIX)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
#if defined(Q_OS_DARWIN)
    return static_cast<qint64>(usage.ru_maxrss); // bytes there
#else
    return static_cast<qint64>(usage.ru_maxrss) * 1024; // kilobytes elsewhere
#endif
#else
    return 0;
#endif
}
