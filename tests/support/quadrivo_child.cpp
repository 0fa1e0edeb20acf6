// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// A second process for the tests of faults that involve one:
//   quadrivo_child import FILE TIPO   imports FILE's text into Quadrivo.mdb
//   quadrivo_child lock               holds an exclusive transaction on
//                                     Quadrivo.mdb until its input closes
//   quadrivo_child write FILE TEXT    rewrites FILE in place with TEXT
//   quadrivo_child storico N          writes snapshots of N lines into
//                                     Quadrivo.mdb one after the other,
//                                     printing the count of each, until killed
#include "import/Gradi.h"
#include "import/Importazione.h"
#include "import/TextFile.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Storico.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>

namespace {

int holdLock()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
        db.setDatabaseName(Membri::fileName());
        if (!db.open())
            return 2;
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            return 3;
        std::fputs("locked\n", stdout);
        std::fflush(stdout);
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        while (!input.readLine().isEmpty()) { }
        query.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    return 0;
}

int import(const QString &file, qint16 tipoDati)
{
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    try {
        Gradi gradi;
        const int lines = importaPalmeria(data, readTextFile(file), tipoDati,
                                          [&gradi](const QString &phrase) { return gradi.CercaGrado(phrase); },
                                          QLocale());
        std::printf("%d\n", lines);
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

// Truncates and writes the same file, as an editor that saves in place.
int rewrite(const QString &path, const QString &text)
{
    QFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return 1;
    file.close();
    return file.error() == QFileDevice::NoError ? 0 : 1;
}

int writeSnapshots(int lines)
{
    std::vector<Storico::RigaRilevazione> righe;
    for (int i = 1; i <= lines; ++i)
        righe.push_back({QStringLiteral("Membro %1").arg(i),
                         QStringLiteral("[%1:%2:1]").arg(i / 500 + 1).arg(i % 500 + 1), QStringLiteral("Capo"),
                         1000 + i});
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    try {
        for (int written = 1;; ++written) {
            Storico::scriviRilevazione(data.database(), data.DatabaseName(), QDateTime::currentDateTime(), 1, righe);
            std::printf("%d\n", written);
            std::fflush(stdout);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("lock"))
        return holdLock();
    if (args.value(1) == QLatin1String("import") && args.size() == 4)
        return import(args[2], qint16(args[3].toShort()));
    if (args.value(1) == QLatin1String("write") && args.size() == 4)
        return rewrite(args[2], args[3]);
    if (args.value(1) == QLatin1String("storico") && args.size() == 3)
        return writeSnapshots(args[2].toInt());
    std::fputs("uso: quadrivo_child import FILE TIPO | lock | write FILE TEXT | storico N\n", stderr);
    return 64;
}
