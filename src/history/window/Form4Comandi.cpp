// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
// The history window's commands: its buttons.
#include "history/window/Form4.h"

#include "core/Failure.h"
#include "history/CsvStorico.h"
#include "history/window/GraficoStorico.h"
#include "import/Confronto.h"
#include "store/Storico.h"
#include "ui/Guarded.h"
#include "ui/MessageBox.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScopeGuard>

void Form4::BtnCopia_Click()
{
    runGuarded(this, [this] {
        const QImage image = immagineGrafico();
        if (image.isNull())
            throw UserError(QStringLiteral("Impossibile copiare il grafico: l'immagine non si può creare."));
        QGuiApplication::clipboard()->setImage(image);
    });
}

void Form4::BtnSalva_Click()
{
    runGuarded(this, [this] {
        const QString path =
            chiediNomeImmagine(this, QDir::current().absoluteFilePath(QStringLiteral("Quadrivo-storico.png")));
        if (!path.isEmpty())
            salvaImmagine(immagineGrafico(), path);
    });
}

bool Form4::siPuoScrivere()
{
    const bool scrivibile = runGuarded(this, [this] {
        const auto chiudi = qScopeGuard([this] { Data1.close(); });
        Data1.checkWritable();
    });
    MessageBox::warn(this, Data1.takeCopyWarning());
    return scrivibile;
}

void Form4::BtnElimina_Click()
{
    const QList<int> scelte = rilevazioniSelezionate();
    if (scelte.size() != 1 || !siPuoScrivere())
        return;
    const StoricoDati::RigaRilevazione &r = m_quadro.rilevazioni[static_cast<std::size_t>(scelte.first())];
    const QString data = StoricoDati::testoData(r, QLocale());
    if (!MessageBox::ask(this, QStringLiteral("Eliminare la rilevazione del %1?").arg(data), applicationTitle()))
        return;
    const Storico::Rilevazione vista{r.id, r.quandoTesto, r.tipo};
    runGuarded(this, [this, &vista] {
        const auto chiudi = qScopeGuard([this] { Data1.close(); });
        Storico::eliminaRilevazione(Data1.database(), Data1.DatabaseName(), vista);
    });
    // Shown again as the file now holds it, also after a failure.
    runGuarded(this, [this] { carica(); });
}

void Form4::BtnConfronta_Click()
{
    const QList<int> scelte = rilevazioniSelezionate();
    if (scelte.size() != 2 || !siPuoScrivere())
        return;
    // Newest first in the Quadro: the second is the older, the start.
    const StoricoDati::RigaRilevazione &a = m_quadro.rilevazioni[static_cast<std::size_t>(scelte[1])];
    const StoricoDati::RigaRilevazione &b = m_quadro.rilevazioni[static_cast<std::size_t>(scelte[0])];
    const QLocale locale;
    if (!MessageBox::ask(this,
                         QStringLiteral("Sostituire le statistiche attuali con il confronto fra la rilevazione del %1 "
                                        "e quella del %2?")
                             .arg(StoricoDati::testoData(a, locale), StoricoDati::testoData(b, locale)),
                         applicationTitle()))
        return;
    const Storico::Rilevazione inizio{a.id, a.quandoTesto, a.tipo};
    const Storico::Rilevazione fine{b.id, b.quandoTesto, b.tipo};
    // The comparison's record set and its snapshots' lines come on top of
    // the tables here, which the window lets go meanwhile: it closes once
    // the comparison is done, and reads the history again if it fails. It
    // is not drawn in between, so that it never shows them empty.
    const QString madreTesto = madreSelezionataTesto();
    setUpdatesEnabled(false);
    mostraQuadro({});
    runGuarded(this, [&] {
        const auto chiudi = qScopeGuard([this] { Data1.close(); });
        confrontaRilevazioni(Data1, inizio, fine);
        m_confrontoFatto = true;
    });
    if (m_confrontoFatto) {
        accept();
        return;
    }
    // A snapshot may be gone: the window shows the file as it is now.
    runGuarded(this, [&] { carica(madreTesto); });
    setUpdatesEnabled(true);
}

void Form4::BtnCsv_Click()
{
    const QString path = chiediNomeCsv(this, QDir::current().absoluteFilePath(QStringLiteral("Storico.csv")));
    if (!path.isEmpty())
        runGuarded(this, [&] { StoricoDati::salvaCsvStorico(path, m_quadro, QLocale()); });
}

void Form4::BtnChiudi_Click()
{
    accept();
}
