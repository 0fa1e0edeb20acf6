// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <memory>

class QFileSystemWatcher;

/// The rank list for the life of the entry window. It answers exactly as
/// CercaGrado(phrase, path) does, but keeps the names in memory while the
/// file is proved unchanged since it was read.
///
/// The proof has two parts. A QFileSystemWatcher on the file and on its
/// folder, both set before the file is read, reports changes whenever the
/// event loop runs, that is while the entry window waits between imports;
/// after any news the next rank reads the file again. The stamp of the file
/// taken before it is read (where the name leads, size, times of
/// modification, change and birth, the volume it lies on) is compared with
/// the file as it is when an import starts (verificaFile), which drops the
/// names on any difference: it sees what came while no event loop ran, a
/// file mounted over the name, a change of the current folder. So the
/// names stand for the whole of an import; a change during an import is
/// seen when the next import starts.
///
/// An import holds a DuranteImportazione for its length. Its records are
/// saved one by one in the database beside the file, and every save would
/// be news of the folder: kept in the queue until the import ends (on
/// Windows one message for each), and taken afterwards as a change of the
/// list. The watches are off meanwhile and are set again when it ends; a
/// change of the file in between is seen by the next import's check.
///
/// Where there is no proof (a path with a folder part, a watch that cannot
/// be set, a symbolic link, something that is not a plain file, a file
/// system not known to be local such as a network drive), every call reads
/// the file as CercaGrado does, and fails as it does.
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

    /// Proves again, when an import starts, that the file is the one the
    /// names were read from, and drops them when its stamp differs. Where
    /// the names are not kept, the next call looks again for a proof.
    void verificaFile();

    /// For the length of an import: the check of verificaFile as it
    /// starts, no watch while it runs, the watches set again at its end.
    class DuranteImportazione
    {
    public:
        explicit DuranteImportazione(Gradi &gradi);
        ~DuranteImportazione();

        DuranteImportazione(const DuranteImportazione &) = delete;
        DuranteImportazione &operator=(const DuranteImportazione &) = delete;

    private:
        Gradi &m_gradi;
    };

    /// How many times the file has been read so far.
    int letture() const { return m_letture; }

private:
    // What is compared of the file: unchanged when every field is.
    struct Stamp
    {
        QString path; // absolute: the current folder is part of the name
        bool plain = false;
        qint64 size = -1;
        qint64 modified = 0; // times in ms since the epoch
        qint64 changed = 0;
        qint64 born = 0;
        QString volume; // the root and device of the volume it lies on
        QByteArray device;
        bool local = false; // a file system known to be local

        bool operator==(const Stamp &) const = default;
    };

    static Stamp stampOf(const QString &path);
    void arm();
    bool watch(const QString &folderPath, const QString &filePath);
    void unwatch();
    void resume();
    void drop();

    QString m_path;
    bool m_bare = false;         // a bare file name, the one kind watched
    QSet<QString> m_names;       // lower-cased, valid while m_loaded
    QString m_lowered;           // the phrase looked up, lower-cased
    QString m_asked;             // the phrase before it, then the room for the next
    bool m_lastNotFound = false; // the last phrase was looked up and not found
    bool m_armed = false;        // the outcome of the last arm still stands
    bool m_loaded = false;       // the names are those of the last read
    bool m_quiet = false;        // an import runs: no watches meanwhile
    int m_letture = 0;
    Stamp m_stamp; // of the file read, while m_loaded
    std::unique_ptr<QFileSystemWatcher> m_watcher;
};
