// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/CsvStorico.h"

#include "core/CsvWriter.h"
#include "core/WholeFile.h"
#include "history/DataEstesa.h"

#include <QStringList>

namespace StoricoDati {

QByteArray csvStorico(const Quadro &quadro, const QLocale &locale)
{
    QLocale cifre = locale;
    cifre.setNumberOptions(cifre.numberOptions() | QLocale::OmitGroupSeparator);
    CsvWriter csv(locale);

    // The Quadro holds the snapshots newest first.
    const int n = static_cast<int>(quadro.rilevazioni.size());
    QStringList campi{QStringLiteral("Nick"), QStringLiteral("Madre"), QStringLiteral("Grado")};
    for (int i = n - 1; i >= 0; --i) {
        const RigaRilevazione &r = quadro.rilevazioni[static_cast<std::size_t>(i)];
        campi << momentoEsteso(r, locale) + u' ' + testoTipo(r.tipo);
    }
    campi << QStringLiteral("Giorni fermo");
    csv.addRow(campi);

    std::vector<QString> punti(static_cast<std::size_t>(n));
    for (const RigaMadre &m : quadro.madri) {
        std::fill(punti.begin(), punti.end(), QString());
        for (const auto &[rilevazione, valore] : m.punti)
            punti[static_cast<std::size_t>(rilevazione)] = cifre.toString(valore);
        campi = {m.nick, m.madre, m.grado};
        for (int i = n - 1; i >= 0; --i)
            campi << punti[static_cast<std::size_t>(i)];
        campi << cifre.toString(m.giorniFermo);
        csv.addRow(campi);
    }
    return csv.bytes();
}

void salvaCsvStorico(const QString &path, const Quadro &quadro, const QLocale &locale)
{
    writeWholeFile(path, csvStorico(quadro, locale));
}

} // namespace StoricoDati
