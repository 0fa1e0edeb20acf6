// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/Importazione.h"

#include "core/Failure.h"
#include "store/BackgroundCheckpoint.h"
#include "store/DataControl.h"
#include "store/Membri.h"
#include "store/Numbers.h"
#include "store/Storico.h"

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

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

// A line as the record holds it before it is saved: texts as stored, the
// score as the number the record set read.
Storico::RigaRilevazione asSaved(const RecordSet &rs, int puntiField)
{
    return {rs.Field(Membri::Nick).toString(), rs.Field(Membri::Madre).toString(), rs.Field(Membri::Grado).toString(),
            static_cast<qint32>(rs.Field(puntiField).toLongLong())};
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

Storico::RigaRilevazione mergeInitial(RecordSet &rs, const RigaMembro &riga, const IntegerReader &readInteger)
{
    const qint32 punti = leggiPunti(riga.Punti, readInteger);
    rs.FindFirst({{QStringLiteral("Valid"), 0}});
    if (rs.NoMatch()) {
        rs.AddNew();
    } else {
        rs.Edit();
        rs.setField(Membri::Valid, 1);
    }
    rs.setField(Membri::Nick, riga.Nick);
    rs.setField(Membri::Madre, riga.Madre);
    rs.setField(Membri::Grado, riga.Grado);
    // The score as the number its text reads as: the table's own reading
    // of the text, with no second pass over it.
    rs.setField(Membri::Punti1, punti);
    rs.setField(Membri::Punti2, QVariant());
    rs.setField(Membri::Per, QVariant());
    rs.setField(Membri::Diff, QVariant());
    Storico::RigaRilevazione saved = asSaved(rs, Membri::Punti1);
    rs.Update();
    return saved;
}

Storico::RigaRilevazione mergeFinal(RecordSet &rs, const RigaMembro &riga, const IntegerReader &readInteger)
{
    const qint32 puntiFin = leggiPunti(riga.Punti, readInteger);

    qint32 puntiIni = 0;
    rs.FindFirst({{QStringLiteral("Madre"), riga.Madre}, {QStringLiteral("Valid"), 1}});
    if (!rs.NoMatch()) {
        rs.Edit();
        // A newcomer of an earlier final import has no initial score: it is
        // met again as a member without one.
        const QVariant punti1 = rs.Field(Membri::Punti1);
        if (punti1.isValid() && !punti1.isNull()) {
            bool ok = false;
            const qlonglong n = punti1.toLongLong(&ok);
            if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
                throw UserError(QStringLiteral("Il punteggio iniziale «%1» nel database non è un numero intero.")
                                    .arg(punti1.toString()));
            puntiIni = static_cast<qint32>(n);
        }
    } else {
        rs.FindFirst({{QStringLiteral("Valid"), 0}});
        if (!rs.NoMatch()) {
            rs.Edit();
            rs.setField(Membri::Valid, 1);
            rs.setField(Membri::Punti1, QVariant());
            rs.setField(Membri::Per, QVariant());
            rs.setField(Membri::Diff, QVariant());
        } else {
            rs.AddNew();
        }
    }
    rs.setField(Membri::Nick, riga.Nick);
    rs.setField(Membri::Madre, riga.Madre);
    rs.setField(Membri::Grado, riga.Grado);
    rs.setField(Membri::Punti2, puntiFin);
    if (puntiIni != 0) {
        const auto v = calcolaVariazione(puntiIni, puntiFin);
        if (!v)
            throw UserError(QStringLiteral("La variazione da %1 a %2 punti esce dai limiti dei numeri interi.")
                                .arg(puntiIni)
                                .arg(puntiFin));
        rs.setField(Membri::Per, static_cast<double>(v->per));
        rs.setField(Membri::Diff, v->diff);
    }
    Storico::RigaRilevazione saved = asSaved(rs, Membri::Punti2);
    rs.Update();
    return saved;
}

} // namespace

ImportError::ImportError(const QString &message, int savedLines)
    : UserError(message)
    , m_savedLines(savedLines)
{
}

float arrotondaCentesimi(float q)
{
    if (!std::isfinite(q))
        return q;
    // The shortest decimal form of the single-precision value, rounded as
    // written: 0.125 becomes 0.13, 0.145 becomes 0.15.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, q, std::chars_format::fixed);
    if (written.ec != std::errc())
        return q;
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    const std::size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : digits.substr(dot + 1);

    long long cents = 0;
    for (char c : whole)
        cents = cents * 10 + (c - '0');
    for (std::size_t i = 0; i < 2; ++i)
        cents = cents * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (fraction.size() > 2 && fraction[2] >= '5')
        ++cents;
    if (cents == 0)
        return 0.0f;

    // The single nearest to the rounded decimal, as reading its text would
    // give: cents / 100 in double is the nearest double to that decimal, and
    // no decimal of two places lies close enough to the midpoint of two
    // singles for the second rounding, to a single, to go the other way.
    const double rounded = static_cast<double>(cents) / 100.0;
    return static_cast<float>(negative ? -rounded : rounded);
}

std::optional<Variazione> calcolaVariazione(qint32 puntiIni, qint32 puntiFin)
{
    qint32 d = 0;
    if (qSubOverflow(puntiFin, puntiIni, &d))
        return std::nullopt;
    const float q = static_cast<float>(static_cast<double>(d) / static_cast<double>(puntiIni) * 100.0);
    return Variazione{d, arrotondaCentesimi(q)};
}

int importaPalmeria(DataControl &data1, const QString &text, qint16 tipoDati, const RankLookup &cercaGrado,
                    const QLocale &locale, QString *storicoNonConservato)
{
    if (tipoDati != 1 && tipoDati != 2)
        throw ImportError(
            QStringLiteral("Tipo di dati sconosciuto (%1): nessuna riga è stata importata.").arg(tipoDati), 0);

    RecordSet *rs = nullptr;
    // The log goes into the file while the lines are saved; it stops before
    // the snapshot and the close.
    std::optional<BackgroundCheckpoint> checkpoint;
    try {
        data1.setRecordSource(Membri::selectAll());
        data1.Refresh();
        checkpoint.emplace(data1.database());
        rs = &data1.Recordset();
        if (tipoDati == 1)
            Membri::freeAll(*rs);
    } catch (const UserError &error) {
        throw ImportError(error.message() + QStringLiteral("\nNessuna riga è stata importata."), 0);
    }

    const IntegerReader readInteger(locale);
    const QStringView remaining(text);
    std::vector<Storico::RigaRilevazione> saved;
    // A line that fails where the rest of the text is blank (a list pasted
    // with an empty line at its end) still leaves every member line saved:
    // the snapshot is kept, and the message says so.
    // Once every line is saved: the log's thread stops, the snapshot is
    // kept and the file closes. Returns why the snapshot was not kept.
    const auto finish = [&] {
        checkpoint.reset();
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
            saved.push_back(tipoDati == 1 ? mergeInitial(*rs, *riga, readInteger)
                                          : mergeFinal(*rs, *riga, readInteger));
        } catch (const UserError &error) {
            rs->CancelUpdate();
            lineFailed(number, lineExcerpt(remaining, start), error.message(), ending(start));
        }
    }
    const QString why = finish();
    if (storicoNonConservato)
        *storicoNonConservato = why.isEmpty() ? QString()
                                              : QStringLiteral("L'importazione è stata salvata, ma la rilevazione "
                                                               "non è stata conservata nello storico.\n%1")
                                                    .arg(why);
    return number - 1;
}
