// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

/// The rank list for the life of the entry window. It answers exactly as
/// CercaGrado(phrase, path) does, but keeps the names in memory while the
/// system proves that the file has not changed since it was read.
///
/// The proof, on Linux, is an inotify watch on the file and on the current
/// folder, both set before the file is read and looked at, without waiting,
/// once a rank: at every call but one that only adds words to the phrase
/// just answered "no", which the parser asks while the same rank grows and
/// which is answered from the same reading. Any news about the file or
/// about what its name points to, a change of the folder itself, an
/// overflowing event queue or a failure drops the names, and the file is
/// read again. Where there is no proof (another system, a watch that
/// cannot be set, a path with a folder part, a symbolic link, something
/// that is not a plain file, a file system not known to be local), every
/// call reads the file as CercaGrado does, and fails as it does.
///
/// The current folder must stay the same while the object lives, as it does
/// during an import: a change of folder is no event, and asking the system
/// for the folder at every call would cost as much as the watch itself.
/// Writes through a shared memory mapping of the file are the one change
/// inotify does not report; text editors do not write that way. A file
/// mounted over the name is no event either: verificaFile() catches it.
class Gradi
{
public:
    explicit Gradi(const QString &path = QStringLiteral("Gradi.txt"));
    ~Gradi();

    Gradi(const Gradi &) = delete;
    Gradi &operator=(const Gradi &) = delete;

    /// True when the phrase is one of the rank names of the file, letter
    /// case aside, as CercaGrado(phrase, path). Throws UserError.
    bool CercaGrado(const QString &phrase);

    /// Proves again that the name leads to the file the names were read
    /// from, the same device and inode, and drops the names when it does
    /// not: a file mounted over the name sends no event. An import calls it
    /// when it starts (one system call; a mount in the middle of an import
    /// is seen by the next). Where the file gave no inode, the names are
    /// read again at every import.
    void verificaFile();

    /// How many times the file has been read so far.
    int letture() const { return m_letture; }

private:
    bool unchanged();
    void arm();
    bool drain();

    QString m_path;
    QByteArray m_name;           // the file name to watch; empty when not watched
    QSet<QString> m_names;       // lower-cased, valid while m_loaded
    QString m_lowered;           // the phrase looked up, lower-cased
    QString m_asked;             // the phrase before it, then the room for the next
    bool m_lastNotFound = false; // the last phrase was looked up and not found
    bool m_armed = false;        // the watches stand for the last read
    bool m_loaded = false;       // the names are those of the last read
    int m_letture = 0;
    quint64 m_device = 0; // the identity of the file read, while m_loaded
    quint64 m_inode = 0;
    int m_events = -1; // the inotify instance
    int m_folderWatch = -1;
    int m_fileWatch = -1;
};
