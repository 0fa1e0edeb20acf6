// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "history/ModelloMembri.h"
#include "history/ModelloRilevazioni.h"
#include "history/StoricoDati.h"
#include "store/DataControl.h"

#include <QDialog>

#include <functional>

class GraficoStorico;
class QImage;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

/// The history window: the snapshots, the members' course over them and a
/// chart of the alliance's total or of one member's points.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    /// Reads the history; throws UserError when it cannot be read, and
    /// the window is then never shown.
    explicit Form4(QWidget *parent = nullptr);
    ~Form4() override;

    /// Asks where the chart's image goes, starting from the proposed path;
    /// an empty answer cancels. A file dialog unless replaced.
    std::function<QString(QWidget *parent, const QString &proposed)> chiediNomeImmagine;
    /// Asks where the history's CSV file goes, in the same way.
    std::function<QString(QWidget *parent, const QString &proposed)> chiediNomeCsv;

    /// The chart as it is drawn now.
    QImage immagineGrafico() const;

    /// True once "Co&nfronta" has rewritten the member table: the grid
    /// behind the window is to be rebuilt.
    bool confrontoFatto() const { return m_confrontoFatto; }

private slots:
    void BtnCopia_Click();
    void BtnSalva_Click();
    void BtnElimina_Click();
    void BtnConfronta_Click();
    void BtnCsv_Click();
    void BtnChiudi_Click();

private:
    void Form_Load();
    /// Reads the history again and shows it, keeping the selected member.
    void carica();
    /// The same, selecting the member of that home planet if there is one.
    void carica(const QString &madreTesto);
    /// Puts the Quadro in both tables, replacing what they showed.
    void mostraQuadro(StoricoDati::Quadro quadro);
    void disegnaGrafico();
    void aggiornaPulsanti();
    /// Before the question of a command that writes: says so when the file
    /// reads only (false), and when the copy of the day could not be made,
    /// which stops nothing.
    bool siPuoScrivere();
    /// The selected rows of the snapshots, as indexes into the Quadro, in
    /// the Quadro's order (newest first).
    QList<int> rilevazioniSelezionate() const;
    /// The selected member, as an index into the Quadro; -1 when none.
    int madreSelezionata() const;
    /// Its home planet, or a null text when no member is selected.
    QString madreSelezionataTesto() const;

    QTableView *TblRilevazioni = nullptr;
    QTableView *TblMembri = nullptr;
    GraficoStorico *Grafico = nullptr;
    QPushButton *BtnCopia = nullptr;
    QPushButton *BtnSalva = nullptr;
    QPushButton *BtnElimina = nullptr;
    QPushButton *BtnConfronta = nullptr;
    QPushButton *BtnCsv = nullptr;
    QPushButton *BtnChiudi = nullptr;

    QSortFilterProxyModel *m_ordineRilevazioni = nullptr;
    QSortFilterProxyModel *m_ordineMembri = nullptr;

    DataControl Data1;
    StoricoDati::Quadro m_quadro;
    StoricoDati::ModelloRilevazioni m_rilevazioni;
    StoricoDati::ModelloMembri m_membri;
    bool m_confrontoFatto = false;
};
