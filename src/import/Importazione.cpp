// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Importazione.h"

#include "core/Failure.h"
#include "core/TextBlocks.h"
#include "import/FusioneRighe.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Numbers.h"
#include "store/SharedTexts.h"
#include "store/Storico.h"

#include <QDateTime>
#include <QScopeGuard>

namespace {

QString savedLinesText(int saved)
{
    if (saved == 0)
        return QStringLiteral("Nessuna riga precedente è stata salvata.");
    if (saved == 1)
        return QStringLiteral("La riga precedente è stata salvata.");
    return QStringLiteral("Le %1 righe precedenti sono state salvate.").arg(saved);
}

// The advice that ends the message depends on what follows the line: by
// default the user corrects the text and presses OK again.
[[noreturn]] void lineFailed(int number, const QString &excerpt, const QString &reason, const QString &ending = {})
{
    const int saved = number - 1;
    throw ImportError(QStringLiteral("Riga %1 non importata: «%2»\n%3\n\n%4 %5")
                          .arg(number)
                          .arg(excerpt, reason, savedLinesText(saved),
                               ending.isEmpty() ? QStringLiteral("Questa riga e le seguenti non sono state salvate: "
                                                                 "correggere il testo e premere di nuovo OK.")
                                                : ending),
                      saved);
}

// True when the text from pos on holds nothing but spaces, tabs and line
// breaks: a line that fails there is no member line.
bool onlyBlanksFrom(QStringView text, qsizetype pos)
{
    for (qsizetype i = pos; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            return false;
    }
    return true;
}

// Keeps the saved lines as one snapshot of the history, timed at the end of
// the import. Returns why it could not be kept, empty when it was (or when
// no line was saved, which leaves nothing to keep).
QString keepSnapshot(DataControl &data1, qint16 tipoDati, const std::vector<Storico::RigaRilevazione> &righe)
{
    if (righe.empty())
        return {};
    try {
        Storico::scriviRilevazione(data1.database(), data1.DatabaseName(), QDateTime::currentDateTime(), tipoDati,
                                   righe);
        return {};
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Memoria insufficiente.");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
}

// The line's score as a whole number under the user's locale; a token that
// is not one stops the line before the table is touched.
qint32 leggiPunti(const QString &punti, const IntegerReader &readInteger)
{
    const auto n = readInteger(punti);
    if (!n)
        throw UserError(QStringLiteral("Il punteggio «%1» non è un numero intero valido.").arg(punti));
    return *n;
}

// The line as the import merges it: its texts, and its score as the number
// its text reads as under the user's locale.
Storico::RigaRilevazione rigaLetta(const RigaMembro &riga, const IntegerReader &readInteger)
{
    return {riga.Nick, riga.Madre, riga.Grado, leggiPunti(riga.Punti, readInteger)};
}

} // namespace

ImportError::ImportError(const QString &message, int savedLines)
    : UserError(message)
    , m_savedLines(savedLines)
{
}

int importaPalmeria(DataControl &data1, const QString &text, qint16 tipoDati, const RankLookup &cercaGrado,
                    const QLocale &locale, QString *storicoNonConservato)
{
    if (tipoDati != 1 && tipoDati != 2)
        throw ImportError(
            QStringLiteral("Tipo di dati sconosciuto (%1): nessuna riga è stata importata.").arg(tipoDati), 0);

    RecordSet *rs = nullptr;
    // When no other connection has the file open, the import holds it alone
    // and its commits take no file lock; the log goes into the file as it
    // fills. An import that stops before its end leaves the file closed,
    // free for other programs while the user reads the message.
    auto closeOnFailure = qScopeGuard([&] { data1.close(); });
    try {
        data1.setExclusive(true);
        data1.setRecordSource(Membri::selectAll());
        data1.Refresh();
        // A file that reads only is said so before a line is cut.
        data1.checkWritable();
        rs = &data1.Recordset();
        if (tipoDati == 1)
            Membri::freeAll(*rs);
    } catch (const UserError &error) {
        throw ImportError(error.message() + QStringLiteral("\nNessuna riga è stata importata."), 0);
    }

    const IntegerReader readInteger(locale);
    const QStringView remaining(text);
    // The nicknames and home planets of the lines kept for the snapshot lie
    // together here, not in two small heap blocks a line: declared first,
    // the blocks outlive every line that reads them.
    TextBlocks righe;
    std::vector<Storico::RigaRilevazione> saved;
    // Each member line ends with a CR LF, so there are at most as many lines
    // as CR LFs: the lines kept for the snapshot get their room at once,
    // never moved nor held twice while they grow. (A text of nothing but
    // line breaks asks 80 bytes a line here, less than the box that held it.)
    saved.reserve(static_cast<std::size_t>(QStringView(text).count(u"\r\n")));
    SharedTexts gradi;
    // A line that fails where the rest of the text is blank (a list pasted
    // with an empty line at its end) still leaves every member line saved:
    // the snapshot is kept, and the message says so.
    // Once every line is saved: the records (not needed any more) give
    // their memory back to the snapshot, the snapshot is kept and the file
    // closes. Returns why the snapshot was not kept.
    const auto finish = [&] {
        rs->Close();
        const QString why = keepSnapshot(data1, tipoDati, saved);
        data1.close();
        return why;
    };
    const auto ending = [&](qsizetype start) {
        if (saved.empty() || !onlyBlanksFrom(remaining, start))
            return QString();
        const QString why = finish();
        return why.isEmpty() ? QStringLiteral("Il resto del testo è vuoto: la lista è completa e la rilevazione è "
                                              "stata conservata nello storico.")
                             : QStringLiteral("Il resto del testo è vuoto: la lista è completa, ma la rilevazione "
                                              "non è stata conservata nello storico.\n%1")
                                   .arg(why);
    };
    qsizetype pos = 0;
    int number = 1;
    for (;; ++number) {
        const qsizetype start = pos;
        std::optional<RigaMembro> riga;
        try {
            riga = LeggiRiga(remaining, pos, cercaGrado, number);
        } catch (const ParseError &error) {
            lineFailed(number, error.excerpt(), error.reason(), ending(start));
        } catch (const UserError &error) {
            // The rank list could not be read.
            lineFailed(number, lineExcerpt(remaining, start), error.message(), ending(start));
        }
        if (!riga)
            break;
        try {
            Storico::RigaRilevazione letta = rigaLetta(*riga, readInteger);
            letta.Nick = righe.keepShared(letta.Nick);
            letta.Madre = righe.keepShared(letta.Madre);
            // A list holds a handful of ranks: its lines, their records and
            // the snapshot share one text for each.
            gradi.share(letta.Grado);
            saved.push_back(tipoDati == 1 ? fondiRigaIniziale(*rs, letta) : fondiRigaFinale(*rs, letta));
        } catch (const UserError &error) {
            rs->CancelUpdate();
            lineFailed(number, lineExcerpt(remaining, start), error.message(), ending(start));
        }
    }
    closeOnFailure.dismiss();
    const QString why = finish();
    if (storicoNonConservato)
        *storicoNonConservato = why.isEmpty() ? QString()
                                              : QStringLiteral("L'importazione è stata salvata, ma la rilevazione "
                                                               "non è stata conservata nello storico.\n%1")
                                                    .arg(why);
    return number - 1;
}
