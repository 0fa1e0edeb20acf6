// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// A second process for the tests of faults that involve one:
//   quadrivo_child import FILE TIPO   imports FILE's text into Quadrivo.mdb,
//                                     printing the count of ranks asked at
//                                     every thousandth
//   quadrivo_child lock               holds an exclusive transaction on
//                                     Quadrivo.mdb until its input closes
//   quadrivo_child write FILE TEXT    rewrites FILE in place with TEXT
//   quadrivo_child storico N          writes snapshots of N lines into
//                                     Quadrivo.mdb one after the other,
//                                     printing the count of each, until killed
//   quadrivo_child save WAY FILE OLD  writes OLD into FILE, then saves 20 KB
//                                     over it with writeTextFile where the
//                                     system refuses part of them (WAY: limit,
//                                     a cap on the size of the files this
//                                     process writes; full, a filled-up 64 KiB
//                                     file system of its own over FILE's
//                                     folder); prints the message, the names
//                                     in the folder and FILE's bytes in hex;
//                                     exits with 77 when WAY cannot be set up
//   quadrivo_child mountrank OTHER PHRASE...
//                                     in a mount namespace of its own, reads
//                                     Gradi.txt through a Gradi, mounts OTHER
//                                     over it and starts an import; prints the
//                                     Gradi's answers and reads before and
//                                     after, then CercaGrado's; 77 when it
//                                     cannot mount
//   quadrivo_child ramrank PHRASE...  in a mount namespace of its own, over
//                                     the current folder a ramfs, which Gradi
//                                     does not know to be local; asks a Gradi
//                                     with Gradi.txt "Capo", then "Membro";
//                                     prints its answers; 77 when it cannot
//                                     mount
//   quadrivo_child registro SQL...    runs each statement on Quadrivo.mdb,
//                                     leaving its commits in the log, prints
//                                     "scritto" and waits to be killed
#include "core/Failure.h"
#include "import/CercaGrado.h"
#include "import/Gradi.h"
#include "import/Importazione.h"
#include "import/TextFile.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Storico.h"
#include "support/FullDisk.h"
#include "support/MountNamespace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <memory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#endif

namespace {

int holdLock()
{
    try {
        SQLite::Database db(Membri::fileName().toStdString(), SQLite::OPEN_READWRITE);
        if (db.tryExec("BEGIN EXCLUSIVE") != 0)
            return 3;
        std::fputs("locked\n", stdout);
        std::fflush(stdout);
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        while (!input.readLine().isEmpty()) { }
        db.tryExec("ROLLBACK");
    } catch (const SQLite::Exception &) {
        return 2;
    }
    return 0;
}

// What a writer killed after its commits leaves: the commits in the log,
// never copied into the file, and the log's shared memory.
int leaveLog(const QStringList &statements)
{
    std::unique_ptr<SQLite::Database> db;
    try {
        db = std::make_unique<SQLite::Database>(Membri::fileName().toStdString(), SQLite::OPEN_READWRITE);
    } catch (const SQLite::Exception &) {
        return 2;
    }
    if (db->tryExec("PRAGMA wal_autocheckpoint=0") != 0)
        return 3;
    for (const QString &statement : statements)
        if (db->tryExec(statement.toStdString()) != 0)
            return 3;
    std::fputs("scritto\n", stdout);
    std::fflush(stdout);
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    while (!input.readLine().isEmpty()) { }
    // Killed before its input closes; should it close, it leaves the same.
    std::_Exit(0);
}

int import(const QString &file, qint16 tipoDati)
{
    DataControl data;
    data.setDatabaseName(Membri::fileName());
    try {
        Gradi gradi;
        // Every thousandth rank asked says how far the import has got: the
        // file, held alone, shows nothing to other readers until the end.
        int asked = 0;
        const int lines = importaPalmeria(
            data, readTextFile(file), tipoDati,
            [&](const QString &phrase) {
                if (++asked % 1000 == 0) {
                    std::printf("ranghi chiesti %d\n", asked);
                    std::fflush(stdout);
                }
                return gradi.CercaGrado(phrase);
            },
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

constexpr int cannotSetUp = 77;

int saveRefused(const QString &way, const QString &path, const QString &old)
{
#ifdef Q_OS_LINUX
    const QString folder = QFileInfo(path).absolutePath();
    if (way == QLatin1String("full")
        && ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
        return cannotSetUp;
    if (rewrite(path, old) != 0)
        return 1;
    if (way == QLatin1String("full")) {
        QFile filler(folder + QStringLiteral("/riempitivo"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) { }
    } else {
        // Past the cap a write fails with EFBIG instead of a signal.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap;
        if (::getrlimit(RLIMIT_FSIZE, &cap) != 0)
            return cannotSetUp;
        cap.rlim_cur = 8192;
        if (::setrlimit(RLIMIT_FSIZE, &cap) != 0)
            return cannotSetUp;
    }
    QString text;
    for (int i = 1; text.size() < 20000; ++i)
        text += QStringLiteral("%1 Membro%1  Capo %1 [1:1:%1] 01.12.2026\r\n").arg(i);
    QString message;
    try {
        writeTextFile(path, text);
    } catch (const UserError &error) {
        message = error.message();
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    std::printf("%s\n%s\n%s\n", message.toUtf8().constData(), names.join(u' ').toUtf8().constData(),
                file.readAll().toHex().constData());
    return 0;
#else
    Q_UNUSED(way);
    Q_UNUSED(path);
    Q_UNUSED(old);
    return cannotSetUp;
#endif
}

#ifdef Q_OS_LINUX
// "Capo=1 Membro=0" for the phrases, the reads of the Gradi after them.
QByteArray answers(const QStringList &phrases, const std::function<bool(const QString &)> &lookup, const Gradi *gradi)
{
    QStringList shown;
    for (const QString &phrase : phrases)
        shown << QStringLiteral("%1=%2").arg(phrase).arg(lookup(phrase) ? 1 : 0);
    if (gradi)
        shown << QStringLiteral("letture=%1").arg(gradi->letture());
    return shown.join(u' ').toUtf8();
}

#endif

int mountOverRankList(const QString &other, const QStringList &phrases)
{
#ifdef Q_OS_LINUX
    try {
        Gradi gradi;
        const auto fromGradi = [&gradi](const QString &phrase) { return gradi.CercaGrado(phrase); };
        answers(phrases, fromGradi, &gradi);
        // An import that starts with the file as it was.
        gradi.verificaFile();
        const QByteArray unchanged = answers(phrases, fromGradi, &gradi);
        if (::mount(QFile::encodeName(other).constData(), "Gradi.txt", nullptr, MS_BIND, nullptr) != 0)
            return cannotSetUp;
        gradi.verificaFile();
        const QByteArray mounted = answers(phrases, fromGradi, &gradi);
        const QByteArray direct = answers(
            phrases, [](const QString &phrase) { return CercaGrado(phrase); }, nullptr);
        std::printf("%s\n%s\n%s\n", unchanged.constData(), mounted.constData(), direct.constData());
        return 0;
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
#else
    Q_UNUSED(other);
    Q_UNUSED(phrases);
    return cannotSetUp;
#endif
}

int rankOnUnknownFileSystem(const QStringList &phrases)
{
#ifdef Q_OS_LINUX
    // The folder is entered again to be in the file system over it.
    const QString folder = QDir::currentPath();
    if (::mount("ramfs", QFile::encodeName(folder).constData(), "ramfs", 0, nullptr) != 0 || !QDir::setCurrent(folder))
        return cannotSetUp;
    try {
        Gradi gradi;
        const auto fromGradi = [&gradi](const QString &phrase) { return gradi.CercaGrado(phrase); };
        QByteArray shown;
        for (const char *list : {"Capo\r\n", "Membro\r\n"}) {
            if (rewrite(QStringLiteral("Gradi.txt"), QString::fromLatin1(list)) != 0)
                return 1;
            shown += answers(phrases, fromGradi, &gradi) + '\n';
        }
        std::fputs(shown.constData(), stdout);
        return 0;
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
#else
    Q_UNUSED(phrases);
    return cannotSetUp;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // A namespace of its own is had only while the process has one thread.
    const bool mounts = (argc == 5 && std::strcmp(argv[1], "save") == 0 && std::strcmp(argv[2], "full") == 0)
                        || (argc > 2 && std::strcmp(argv[1], "mountrank") == 0)
                        || (argc > 2 && std::strcmp(argv[1], "ramrank") == 0)
                        || (argc == 3 && std::strcmp(argv[1], "fulldisk") == 0);
    if (mounts && !enterOwnMountNamespace())
        return cannotSetUp;
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
    if (args.value(1) == QLatin1String("save") && args.size() == 5)
        return saveRefused(args[2], args[3], args[4]);
    if (args.value(1) == QLatin1String("mountrank") && args.size() > 2)
        return mountOverRankList(args[2], args.mid(3));
    if (args.value(1) == QLatin1String("ramrank") && args.size() > 2)
        return rankOnUnknownFileSystem(args.mid(2));
    if (args.value(1) == QLatin1String("fulldisk") && args.size() == 3)
        return fullDisk(args[2]);
    if (args.value(1) == QLatin1String("registro"))
        return leaveLog(args.mid(2));
    std::fputs("uso: quadrivo_child import FILE TIPO | lock | write FILE TEXT | storico N | save WAY FILE OLD\n"
               "     | mountrank OTHER PHRASE... | ramrank PHRASE... | registro SQL... | fulldisk FOLDER\n",
               stderr);
    return 64;
}
