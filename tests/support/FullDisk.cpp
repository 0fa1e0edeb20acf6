// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/FullDisk.h"

#include "import/Importazione.h"
#include "store/DataControl.h"
#include "store/Membri.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

#ifdef Q_OS_LINUX
namespace {

// The members the main window's grid shows, or its message.
QString gridCount(QString &message)
{
    DataControl grid;
    grid.setDatabaseName(Membri::fileName());
    grid.setRecordSource(Membri::selectRanking(true));
    try {
        grid.Refresh();
        return QString::number(grid.Recordset().RecordCount());
    } catch (const UserError &error) {
        message = error.message();
        return QStringLiteral("-1");
    }
}

} // namespace
#endif

int fullDisk(const QString &folder)
{
#ifdef Q_OS_LINUX
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=400k") != 0
        || !QDir::setCurrent(folder))
        return 77;
    Membri::createIfMissing(Membri::fileName());
    QString text;
    for (int i = 1; i <= 20000; ++i)
        text += QStringLiteral("%1 Membro%1  Capo %2 [1:%3:%4] 01.12.2026\r\n")
                    .arg(i)
                    .arg(1000 + i)
                    .arg(i / 15 + 1)
                    .arg(i % 15 + 1);
    int saved = -1;
    {
        DataControl data;
        data.setDatabaseName(Membri::fileName());
        try {
            importaPalmeria(
                data, text, 1, [](const QString &phrase) { return phrase == QLatin1String("Capo"); }, QLocale::c());
        } catch (const ImportError &error) {
            saved = error.savedLines();
        }
    }
    QString message;
    const QString shown = gridCount(message);
    int plain = -1;
    try {
        SQLite::Database db("file:Quadrivo.mdb?mode=ro", SQLite::OPEN_READONLY | SQLite::OPEN_URI);
        plain = db.execAndGet("SELECT COUNT(*) FROM Membri").getInt();
    } catch (const SQLite::Exception &) {
    }
    // The rest of the disk, and no room kept for the log's index.
    QFile::remove(Membri::fileName() + QStringLiteral("-shm"));
    QFile filler(QStringLiteral("riempitivo"));
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) { }
    }
    const qint64 free = QStorageInfo(folder).bytesAvailable();
    gridCount(message);
    std::printf("%d\n%s\n%d\n%lld\n%s\n", saved, qPrintable(shown), plain, static_cast<long long>(free),
                message.toUtf8().constData());
    return 0;
#else
    Q_UNUSED(folder);
    return 77;
#endif
}
