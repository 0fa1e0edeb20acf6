// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "core/Failure.h"
#include "import/FusioneRighe.h"
#include "import/LeggiRiga.h"

#include <QLocale>
#include <QString>

#include <optional>

class DataControl;

/// An import that stopped part-way, with a message for the user that says
/// which line, why, and how many lines before it were saved.
class ImportError : public UserError
{
public:
    ImportError(const QString &message, int savedLines);
    int savedLines() const { return m_savedLines; }

private:
    int m_savedLines;
};

/// Merges a pasted member list into the member table through the data
/// control: tipoDati 1 fills the records with initial scores, 2 matches the
/// members by home planet and stores final scores and their change. Each
/// record is saved before the next line is cut. Returns the number of lines
/// merged; throws ImportError.
///
/// An import that saves every member line of its text (it runs to its end,
/// or stops where the rest of the text is blank) also keeps the saved lines
/// as one snapshot of the history (Storico). A snapshot that cannot be
/// written does not undo the import: the Italian message saying so goes to
/// *storicoNonConservato (empty when kept), or into the ImportError.
int importaPalmeria(DataControl &data1, const QString &text, qint16 tipoDati, const RankLookup &cercaGrado,
                    const QLocale &locale, QString *storicoNonConservato = nullptr);
