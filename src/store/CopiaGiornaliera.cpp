// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/CopiaGiornaliera.h"

#include "store/SqlErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Exception.h>

#include <algorithm>
#include <new>

#include <sqlite3.h>

namespace CopiaGiornaliera {

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// "Quadrivo-" and ".mdb" around the day, for "Quadrivo.mdb".
QString prefix(const QString &fileName)
{
    return QFileInfo(fileName).completeBaseName() + u'-';
}

QString suffix(const QString &fileName)
{
    const QString s = QFileInfo(fileName).suffix();
    return s.isEmpty() ? QString() : u'.' + s;
}

QString copyPath(const QString &fileName, QDate giorno)
{
    return cartellaCopie(fileName) + u'/' + prefix(fileName) + giorno.toString(dateFormat) + suffix(fileName);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Copies the open file into a new file at path; throws SQLite::Exception.
void backUp(SQLite::Database &db, const QString &path)
{
    SQLite::Database copy(path.toUtf8().toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    SQLite::Backup backup(copy, db);
    // One step: the source is read under one read lock, whole and as one
    // moment of it, while other connections go on reading it.
    const int result = backup.executeStep();
    if (result != SQLITE_DONE)
        throw SQLite::Exception("backup not finished", result);
}

// Removes the dated copies beyond the newest copieTenute, never the one of
// the day just made. A copy that cannot be removed stays, harmless.
void removeOldCopies(const QString &fileName, QDate giorno)
{
    const QList<Copia> copie = copieDatate(fileName);
    for (qsizetype i = 0; i + copieTenute < copie.size(); ++i)
        if (copie[i].giorno != giorno)
            QFile::remove(copie[i].percorso);
}

} // namespace

QString cartellaCopie(const QString &fileName)
{
    const QString folder = QFileInfo(fileName).path();
    return folder == u"." ? QStringLiteral("Copie") : folder + QStringLiteral("/Copie");
}

QList<Copia> copieDatate(const QString &fileName)
{
    const QString before = prefix(fileName);
    const QString after = suffix(fileName);
    const QString cartella = cartellaCopie(fileName);
    const QDir folder(cartella);
    QList<Copia> copie;
    const QStringList names =
        folder.entryList({before + QStringLiteral("\?\?\?\?-\?\?-\?\?") + after}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const QDate giorno =
            QDate::fromString(name.mid(before.size(), name.size() - before.size() - after.size()), dateFormat);
        if (giorno.isValid())
            copie.append({cartella + u'/' + name, giorno});
    }
    std::sort(copie.begin(), copie.end(), [](const Copia &a, const Copia &b) { return a.giorno < b.giorno; });
    return copie;
}

QString copiaDelGiorno(SQLite::Database &db, const QString &fileName, QDate giorno)
{
    const QString path = copyPath(fileName, giorno);
    const QString partial = path + QStringLiteral(".nuovo");
    try {
        if (QFileInfo::exists(path))
            return {};
        QString reason;
        if (!QDir().mkpath(cartellaCopie(fileName))) {
            reason = QStringLiteral("la cartella «%1» non si può creare").arg(shown(cartellaCopie(fileName)));
        } else {
            // What is left of a copy that did not finish goes, and so does
            // this one if it does not.
            QFile::remove(partial);
            auto removePartial = qScopeGuard([&] { QFile::remove(partial); });
            try {
                backUp(db, partial);
                if (QFile::rename(partial, path))
                    removePartial.dismiss();
                else if (!QFileInfo::exists(path))
                    reason = QStringLiteral("il file della copia non si può rinominare");
            } catch (const SQLite::Exception &e) {
                reason = describeSqlError(SqlError::of(e));
            }
        }
        if (reason.isEmpty()) {
            removeOldCopies(fileName, giorno);
            return {};
        }
        return QStringLiteral("La copia di sicurezza di oggi di «%1» non si è potuta fare (in «%2»): %3.\n"
                              "Il comando è andato avanti lo stesso, ma senza una copia del file com'era prima delle "
                              "modifiche di oggi: controllare lo spazio sul disco e la cartella «%4».")
            .arg(shown(fileName), shown(path), reason, shown(cartellaCopie(fileName)));
    } catch (const std::bad_alloc &) {
        return QStringLiteral("La copia di sicurezza di oggi di «%1» non si è potuta fare: memoria insufficiente.")
            .arg(shown(fileName));
    }
}

QString comeTornareAllaCopia(const QString &fileName, const QLocale &locale)
{
    const QList<Copia> copie = copieDatate(fileName);
    if (copie.isEmpty())
        return {};
    const Copia &ultima = copie.last();
    // A log or journal left beside the damaged file would be read into
    // the copy put in its place.
    QStringList beside;
    for (const char *end : {"-wal", "-shm", "-journal"})
        if (QFileInfo::exists(fileName + QLatin1String(end)))
            beside << QStringLiteral("«%1»").arg(shown(fileName + QLatin1String(end)));
    const QString name = QFileInfo(fileName).fileName();
    return QStringLiteral(
               "\n\nLa copia di sicurezza più recente è «%1», fatta %2 prima della prima modifica di "
               "quel giorno: contiene i dati com'erano allora. Per tornare a quella copia: chiudere Quadrivo, "
               "spostare altrove «%3»%4, copiare «%1» al suo posto rinominandola «%3», e avviare di "
               "nuovo Quadrivo. Nessun file è stato sostituito.")
        .arg(shown(ultima.percorso), locale.toString(ultima.giorno, QLocale::LongFormat), name,
             beside.isEmpty() ? QString() : QStringLiteral(" (con ") + beside.join(QStringLiteral(", ")) + u')');
}

} // namespace CopiaGiornaliera
