// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Confronto.h"

#include "core/Failure.h"
#include "import/FusioneRighe.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/WriteTransaction.h"

void confrontaRilevazioni(DataControl &data1, const Storico::Rilevazione &inizio, const Storico::Rilevazione &fine)
{
    const QString unchanged = QStringLiteral("\nIl confronto non è stato fatto: le statistiche non sono state "
                                             "modificate.");
    try {
        SQLite::Database &db = data1.database();
        const QString fileName = data1.DatabaseName();
        // Taken before anything is read, so that nobody else writes the
        // table or the history until the comparison is whole.
        WriteTransaction transazione(db, QStringLiteral("Impossibile confrontare le rilevazioni nel database «%1»"),
                                     fileName);
        // Each import reads the table afresh, as a new entry window does,
        // and each snapshot's lines are read when they are merged and let go
        // after it: only one is held beside the table at any time.
        data1.setRecordSource(Membri::selectAll());
        data1.Refresh();
        Membri::freeAll(data1.Recordset());
        for (const Storico::RigaRilevazione &riga : Storico::leggiRighe(db, fileName, inizio))
            fondiRigaIniziale(data1.Recordset(), riga);
        data1.Refresh();
        for (const Storico::RigaRilevazione &riga : Storico::leggiRighe(db, fileName, fine))
            fondiRigaFinale(data1.Recordset(), riga);
        transazione.commit();
    } catch (const UserError &error) {
        // The transaction is rolled back by now; what the record set holds
        // in memory is not the file's any more.
        data1.close();
        throw UserError(error.message() + unchanged);
    }
}
