// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/window/Form4.h"

#include "history/window/GraficoStorico.h"
#include "history/window/TabelleStorico.h"
#include "store/Membri.h"
#include "store/Storico.h"
#include "ui/AppIcon.h"
#include "ui/CenterForm.h"
#include "ui/FileDialogs.h"
#include "ui/ModalForm.h"
#include "ui/Twips.h"

#include <QBoxLayout>
#include <QFileDialog>
#include <QImage>
#include <QPushButton>
#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>

#include <algorithm>

Form4::Form4(QWidget *parent)
    : QDialog(parent)
    , m_rilevazioni(m_quadro, QLocale())
    , m_membri(m_quadro, QLocale())
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Storico Quadrivo"));
    setWindowIcon(appIcon());
    setFont(msSansSerif(false));
    setModal(true);
    setSizeGripEnabled(true);

    m_ordineRilevazioni = new QSortFilterProxyModel(this);
    m_ordineMembri = new QSortFilterProxyModel(this);
    TblRilevazioni = TabelleStorico::addTable(this, "TblRilevazioni", &m_rilevazioni, m_ordineRilevazioni,
                                              StoricoDati::ModelloRilevazioni::Data);
    // Two snapshots are chosen together for a comparison.
    TblRilevazioni->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TblMembri =
        TabelleStorico::addTable(this, "TblMembri", &m_membri, m_ordineMembri, StoricoDati::ModelloMembri::Variazione);
    TabelleStorico::setColumnWidths(TblRilevazioni, {QStringLiteral("00/00/0000 00:00"), QStringLiteral("Iniziale"),
                                                     QStringLiteral("00.000"), QStringLiteral("000.000.000.000")});
    TabelleStorico::setColumnWidths(TblMembri, {QStringLiteral("Nickname lungo"), QStringLiteral("[00:000:00]"),
                                                QStringLiteral("Vice Comandante"), QStringLiteral("000.000.000"),
                                                QStringLiteral("000.000.000"), QStringLiteral("+000.000.000"),
                                                QStringLiteral("000"), QStringLiteral("0.000")});

    Grafico = new GraficoStorico(font());
    Grafico->setObjectName(QStringLiteral("Grafico"));

    auto *tables = new QSplitter(Qt::Horizontal);
    tables->setChildrenCollapsible(false);
    tables->addWidget(TabelleStorico::titledPane(tables, QStringLiteral("&Rilevazioni"), TblRilevazioni));
    tables->addWidget(TabelleStorico::titledPane(tables, QStringLiteral("&Membri"), TblMembri));
    tables->setStretchFactor(0, 0);
    tables->setStretchFactor(1, 1);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tables);
    splitter->addWidget(Grafico);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    BtnCopia = addCommandButton(this, "BtnCopia", "C&opia grafico", 0, 0, 1455, 435);
    BtnSalva = addCommandButton(this, "BtnSalva", "Salva &immagine...", 0, 0, 1815, 435);
    BtnElimina = addCommandButton(this, "BtnElimina", "&Elimina rilevazione", 0, 0, 1935, 435);
    BtnConfronta = addCommandButton(this, "BtnConfronta", "Co&nfronta", 0, 0, 1935, 435);
    BtnCsv = addCommandButton(this, "BtnCsv", "Esporta CS&V...", 0, 0, 1935, 435);
    BtnChiudi = addCommandButton(this, "BtnChiudi", "&Chiudi", 0, 0, 1215, 435);
    giveSameWidth({BtnElimina, BtnConfronta, BtnCsv});
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {BtnCopia, BtnSalva, BtnElimina, BtnConfronta, BtnCsv}) {
        button->setMinimumSize(button->size());
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    BtnChiudi->setMinimumSize(BtnChiudi->size());
    buttons->addWidget(BtnChiudi);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    QWidget::setTabOrder(TblRilevazioni, TblMembri);
    QWidget::setTabOrder(TblMembri, BtnCopia);
    QWidget::setTabOrder(BtnCopia, BtnSalva);
    QWidget::setTabOrder(BtnSalva, BtnElimina);
    QWidget::setTabOrder(BtnElimina, BtnConfronta);
    QWidget::setTabOrder(BtnConfronta, BtnCsv);
    QWidget::setTabOrder(BtnCsv, BtnChiudi);

    connect(BtnCopia, &QPushButton::clicked, this, &Form4::BtnCopia_Click);
    connect(BtnSalva, &QPushButton::clicked, this, &Form4::BtnSalva_Click);
    connect(BtnElimina, &QPushButton::clicked, this, &Form4::BtnElimina_Click);
    connect(BtnConfronta, &QPushButton::clicked, this, &Form4::BtnConfronta_Click);
    connect(BtnCsv, &QPushButton::clicked, this, &Form4::BtnCsv_Click);
    connect(BtnChiudi, &QPushButton::clicked, this, &Form4::BtnChiudi_Click);
    connect(TblMembri->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { disegnaGrafico(); });
    connect(TblRilevazioni->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { aggiornaPulsanti(); });

    chiediNomeImmagine = [](QWidget *parent, const QString &proposed) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva immagine del grafico"), proposed,
                                            QStringLiteral("Immagini PNG (*.png)"));
    };
    chiediNomeCsv = chiediFileCsv;

    Data1.setDatabaseName(Membri::fileName());

    // Comfortable on a screen of 1024 x 768, the tables over the chart.
    resize(1010, 680);
    splitter->setSizes({330, 300});
    tables->setSizes({315, 695});

    Form_Load();
}

Form4::~Form4() = default;

void Form4::Form_Load()
{
    CenterForm(this);
    carica();
}

void Form4::carica()
{
    carica(madreSelezionataTesto());
}

void Form4::carica(const QString &madreTesto)
{
    StoricoDati::Quadro quadro;
    {
        const auto chiudi = qScopeGuard([this] { Data1.close(); });
        SQLite::Database &db = Data1.database();
        quadro = StoricoDati::componi(Storico::leggiStoria(db, Data1.DatabaseName()));
        StoricoDati::assegnaNomi(quadro,
                                 Storico::leggiNomi(db, Data1.DatabaseName(), StoricoDati::rilevazioniDeiNomi(quadro)));
    }
    mostraQuadro(std::move(quadro));
    // The date's width depends on the locale; a few rows to measure.
    TblRilevazioni->resizeColumnToContents(StoricoDati::ModelloRilevazioni::Data);

    // The newest snapshot is selected; the member stays selected while the
    // history holds it.
    if (!m_quadro.rilevazioni.empty())
        TblRilevazioni->selectRow(m_ordineRilevazioni->mapFromSource(m_rilevazioni.index(0, 0)).row());
    for (std::size_t m = 0; !madreTesto.isNull() && m < m_quadro.madri.size(); ++m) {
        if (m_quadro.madri[m].madre == madreTesto) {
            TblMembri->selectRow(m_ordineMembri->mapFromSource(m_membri.index(static_cast<int>(m), 0)).row());
            break;
        }
    }
    disegnaGrafico();
    aggiornaPulsanti();
}

QList<int> Form4::rilevazioniSelezionate() const
{
    QList<int> scelte;
    for (const QModelIndex &row : TblRilevazioni->selectionModel()->selectedRows())
        scelte << m_ordineRilevazioni->mapToSource(row).row();
    std::sort(scelte.begin(), scelte.end());
    return scelte;
}

int Form4::madreSelezionata() const
{
    const QModelIndexList rows = TblMembri->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_ordineMembri->mapToSource(rows.first()).row();
}

QString Form4::madreSelezionataTesto() const
{
    const int madre = madreSelezionata();
    return madre >= 0 ? m_quadro.madri[static_cast<std::size_t>(madre)].madre : QString();
}

void Form4::mostraQuadro(StoricoDati::Quadro quadro)
{
    m_rilevazioni.inizioAggiornamento();
    m_membri.inizioAggiornamento();
    m_quadro = std::move(quadro);
    m_membri.fineAggiornamento();
    m_rilevazioni.fineAggiornamento();
}

void Form4::aggiornaPulsanti()
{
    const bool any = !m_quadro.rilevazioni.empty();
    BtnCopia->setEnabled(any);
    BtnSalva->setEnabled(any);
    BtnCsv->setEnabled(any);
    const qsizetype scelte = rilevazioniSelezionate().size();
    BtnElimina->setEnabled(any && scelte == 1);
    BtnConfronta->setEnabled(scelte == 2);
}

void Form4::disegnaGrafico()
{
    const int madre = madreSelezionata();
    Grafico->mostra(StoricoDati::titoloGrafico(m_quadro, madre), StoricoDati::serie(m_quadro, madre));
}

QImage Form4::immagineGrafico() const
{
    return Grafico->immagine();
}
