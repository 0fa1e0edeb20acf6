// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/ReadOnlyFile.h"

#include "core/Failure.h"
#include "store/SqlConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace ReadOnlyFile {

namespace {

// A log shorter than its header holds no commit.
constexpr qint64 walHeaderSize = 32;

QString logName(const QString &path)
{
    return path + QStringLiteral("-wal");
}

QString sharedMemoryName(const QString &path)
{
    return path + QStringLiteral("-shm");
}

// The read version of the file's header is 2 in write-ahead-log mode;
// SQLite goes by it when it reads the file.
bool inWalMode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.startsWith(QByteArrayLiteral("SQLite format 3\0")) && header[19] == 2;
}

// Whether a file can be made in the folder. Its permission bits do not
// tell on every system (Windows lets a folder marked read-only, as the
// user's Documents often is, take new files all the same), so a file is
// made there and removed at once.
bool folderTakesFiles(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.quadrivo-XXXXXX"));
    return probe.open();
}

} // namespace

bool cannotWrite(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isWritable() || !folderTakesFiles(file.absolutePath()))
        return true;
    for (const QString &beside : {logName(path), sharedMemoryName(path)}) {
        const QFileInfo info(beside);
        if (info.exists() && !info.isWritable())
            return true;
    }
    return false;
}

Reading choose(const QString &path)
{
    if (!inWalMode(path))
        return Reading::Journal;
    const QFileInfo log(logName(path));
    // Without a log the file holds every commit. SQLite would make the log
    // (and the shared memory) beside it to read it, unless told that the
    // file is immutable.
    if (!log.exists())
        return Reading::Immutable;
    if (QFileInfo::exists(sharedMemoryName(path)))
        return Reading::SharedLog;
    if (log.size() < walHeaderSize)
        return Reading::Immutable;
    const QString fileName = QFileInfo(path).fileName();
    throw UserError(QStringLiteral("Il file «%1» è di sola lettura, e il suo registro «%2» contiene modifiche che "
                                   "si possono leggere solo creando accanto il file «%3», che manca. Per non "
                                   "mostrare dati incompleti il file non è stato letto; non è stato modificato.\n\n"
                                   "Per consultarlo, copiare «%1» e «%2» insieme in una cartella in cui si può "
                                   "scrivere e avviare Quadrivo da lì.")
                        .arg(fileName, log.fileName(), QFileInfo(sharedMemoryName(path)).fileName()));
}

QString uriQuery(Reading reading)
{
    switch (reading) {
    case Reading::SharedLog:
        return QStringLiteral("mode=ro&readonly_shm=1");
    case Reading::Immutable:
        return QStringLiteral("mode=ro&immutable=1");
    case Reading::Journal:
        break;
    }
    return QStringLiteral("mode=ro");
}

Stamp stamp(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo log(logName(path));
    Stamp s;
    s.size = file.exists() ? file.size() : -1;
    s.modified = file.exists() ? file.lastModified().toMSecsSinceEpoch() : 0;
    s.logSize = log.exists() ? log.size() : -1;
    return s;
}

QString refusal(const QString &fileName)
{
    return QStringLiteral("Il file «%1» è di sola lettura: le statistiche e lo storico si possono consultare, ma "
                          "non modificare. Il file non è stato modificato.")
        .arg(fileName);
}

void refuseWriting(SQLite::Database &db, const QString &fileName)
{
    if (SqlConnection::isReadOnly(db))
        throw UserError(refusal(fileName));
}

} // namespace ReadOnlyFile
