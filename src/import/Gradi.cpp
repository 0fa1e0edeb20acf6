// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Gradi.h"

#include "import/CercaGrado.h"
#include "import/LeggiVoce.h"
#include "import/TextFile.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <limits>

namespace {

// File systems whose changes all go through this system, so that the
// watcher hears of every one: the names Qt gives on Linux and on Windows,
// in lower case (Wine calls its drives "NTFS"). A network file system is
// changed from elsewhere without a word, and so is anything not named here.
constexpr std::array<QByteArrayView, 13> localFileSystems = {
    "ext2", "ext3", "ext4", "xfs", "btrfs", "tmpfs", "f2fs", "ntfs", "fat", "fat32", "vfat", "exfat", "refs",
};

bool isLocal(const QStorageInfo &volume)
{
    if (!volume.isValid() || !volume.isReady())
        return false;
    // A share reached by its network name ("//server/share" on Linux,
    // "\\server\share" for a mapped drive on Windows) is remote whatever it
    // calls itself; "\\?\Volume{…}\" is the name Windows gives a volume of
    // its own. A volume without a device is not known.
    const QByteArray device = volume.device();
    if (device.isEmpty() || device.startsWith("//") || (device.startsWith("\\\\") && !device.startsWith("\\\\?\\")))
        return false;
    const QByteArray type = volume.fileSystemType().toLower();
    return std::any_of(localFileSystems.begin(), localFileSystems.end(),
                       [&type](QByteArrayView name) { return name == type; });
}

qint64 msOf(const QDateTime &time)
{
    return time.isValid() ? time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

} // namespace

Gradi::Gradi(const QString &path)
    : m_path(path)
{
    // Only a bare name is watched: a folder part (or a drive) could come to
    // point to another folder without any news from the one watched.
    m_bare = !path.isEmpty() && !path.contains(u'/') && !path.contains(u'\\') && !path.contains(u':') && path != u"."
             && path != u"..";
}

// Out of line, where QFileSystemWatcher is complete.
Gradi::~Gradi() = default;

bool Gradi::CercaGrado(const QString &phrase)
{
    // The parser grows a rank a word at a time: a phrase that adds words to
    // the one just answered "no" goes on reading the same rank, and is
    // answered from the same reading even when news came in between.
    minuscole(phrase, m_asked);
    const qsizetype last = m_lowered.size();
    const bool sameRank =
        m_loaded && m_lastNotFound && m_asked.size() > last && m_asked[last] == u' ' && m_asked.startsWith(m_lowered);
    m_lowered.swap(m_asked);
    m_lastNotFound = false;
    if (!sameRank && !m_armed)
        arm();
    if (m_loaded) {
        m_lastNotFound = !m_names.contains(m_lowered);
        return !m_lastNotFound;
    }
    ++m_letture;
    return ::CercaGrado(phrase, m_path);
}

void Gradi::verificaFile()
{
    if (!m_loaded)
        m_armed = false;
    else if (stampOf(m_path) != m_stamp)
        drop();
}

Gradi::Stamp Gradi::stampOf(const QString &path)
{
    const QFileInfo info(path);
    Stamp stamp;
    stamp.path = info.absoluteFilePath();
    if (!info.exists())
        return stamp;
    stamp.plain = info.isFile() && !info.isSymLink();
    stamp.size = info.size();
    stamp.modified = msOf(info.lastModified());
    stamp.changed = msOf(info.metadataChangeTime());
    stamp.born = msOf(info.birthTime());
    const QStorageInfo volume(stamp.path);
    stamp.volume = volume.rootPath();
    stamp.device = volume.device();
    stamp.local = isLocal(volume);
    return stamp;
}

void Gradi::drop()
{
    m_armed = false;
    m_loaded = false;
    m_names.clear();
}

void Gradi::arm()
{
    drop();
    if (!m_bare)
        return;
    const QFileInfo file(m_path);
    const QString filePath = file.absoluteFilePath();
    const QString folderPath = file.absolutePath();

    // During an import the names are read without a watch; its end sets
    // the watches, and the next import's check of the stamp proves them.
    const bool watched = m_quiet || watch(folderPath, filePath);
    m_armed = true;
    if (!watched)
        return;
    const Stamp stamp = stampOf(m_path);
    if (!stamp.plain || !stamp.local || !isLocal(QStorageInfo(folderPath)))
        return;

    const QString content = readTextFile(m_path);
    const QStringView text(content);
    qsizetype pos = 0;
    while (pos < text.size())
        m_names.insert(nextItem(text, pos).toString().toLower());
    m_stamp = stamp;
    m_loaded = true;
    ++m_letture;
}

bool Gradi::watch(const QString &folderPath, const QString &filePath)
{
    // One watcher for the object's life, its watches renewed at each read:
    // on Linux a watch follows the file it was set on, not the name. On
    // Windows a watcher that has not yet heard of a file deleted under it
    // may refuse the new one: a new watcher is then made, once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_watcher || attempt > 0) {
            m_watcher = std::make_unique<QFileSystemWatcher>();
            // The rank being read when news comes is answered to its end
            // from the names it began with; the next one reads the file again.
            const auto changed = [this] { m_armed = false; };
            QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, m_watcher.get(), changed);
            QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_watcher.get(), changed);
        } else {
            unwatch();
        }
        // The watches come before the stamp and the read, so that a change
        // made meanwhile is news afterwards. From here on the news, or the
        // next import, tells whether the outcome of this arm still stands,
        // names or no names: without a proof every call reads the file
        // through CercaGrado until then.
        if (m_watcher->addPaths({folderPath, filePath}).isEmpty())
            return true;
    }
    return false;
}

void Gradi::unwatch()
{
    if (!m_watcher)
        return;
    if (const QStringList old = m_watcher->files() + m_watcher->directories(); !old.isEmpty())
        m_watcher->removePaths(old);
}

void Gradi::resume()
{
    m_quiet = false;
    if (!m_loaded) {
        // Whatever the import found, the next lookup looks for a proof again.
        m_armed = false;
        return;
    }
    // A change while no watch was set is seen by the stamp when the next
    // import starts, as one made while no event loop ran.
    const QFileInfo file(m_path);
    if (!watch(file.absolutePath(), file.absoluteFilePath()))
        drop();
}

Gradi::DuranteImportazione::DuranteImportazione(Gradi &gradi)
    : m_gradi(gradi)
{
    m_gradi.verificaFile();
    m_gradi.m_quiet = true;
    m_gradi.unwatch();
}

Gradi::DuranteImportazione::~DuranteImportazione()
{
    m_gradi.resume();
}
