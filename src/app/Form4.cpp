// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form4.h"

#include "store/Membri.h"
#include "store/Storico.h"
#include "ui/AppIcon.h"
#include "ui/CenterForm.h"
#include "ui/Guarded.h"
#include "ui/MessageBox.h"
#include "ui/ModalForm.h"
#include "ui/Twips.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr qreal dayMs = 24.0 * 60 * 60 * 1000;

// A table of the window: whole rows, one at a time, sorted by a click on a
// header through the proxy (numbers as numbers), the first order shown by
// the header without sorting again.
QTableView *addTable(QWidget *parent, const char *name, QAbstractItemModel *model, QSortFilterProxyModel *proxy,
                     int sortColumn)
{
    proxy->setSourceModel(model);
    proxy->setSortRole(StoricoDati::SortRole);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);

    auto *table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(proxy);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *header = table->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sortColumn, Qt::DescendingOrder);
    header->setStretchLastSection(true);
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, proxy,
                     [proxy](int column, Qt::SortOrder order) { proxy->sort(column, order); });
    return table;
}

// Widths that fit the header and the widest value a column usually holds.
void setColumnWidths(QTableView *table, const std::vector<QString> &samples)
{
    const QFontMetrics metrics(table->font());
    const QFontMetrics headerMetrics(table->horizontalHeader()->font());
    for (int c = 0; c < static_cast<int>(samples.size()); ++c) {
        const QString header = table->model()->headerData(c, Qt::Horizontal).toString();
        const int width = std::max(metrics.horizontalAdvance(samples[static_cast<std::size_t>(c)]),
                                   headerMetrics.horizontalAdvance(header) + 16);
        table->setColumnWidth(c, width + 12);
    }
}

QWidget *titledPane(QWidget *parent, const QString &title, QTableView *table)
{
    auto *pane = new QWidget(parent);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *label = new QLabel(title, pane);
    label->setFont(msSansSerif(true));
    label->setBuddy(table);
    layout->addWidget(label);
    table->setParent(pane);
    layout->addWidget(table);
    return pane;
}

} // namespace

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
    TblRilevazioni =
        addTable(this, "TblRilevazioni", &m_rilevazioni, m_ordineRilevazioni, StoricoDati::ModelloRilevazioni::Data);
    TblMembri = addTable(this, "TblMembri", &m_membri, m_ordineMembri, StoricoDati::ModelloMembri::Variazione);
    setColumnWidths(TblRilevazioni, {QStringLiteral("00/00/0000 00:00"), QStringLiteral("Iniziale"),
                                     QStringLiteral("00.000"), QStringLiteral("000.000.000.000")});
    setColumnWidths(TblMembri, {QStringLiteral("Nickname lungo"), QStringLiteral("[00:000:00]"),
                                QStringLiteral("Vice Comandante"), QStringLiteral("000.000.000"),
                                QStringLiteral("000.000.000"), QStringLiteral("+000.000.000"), QStringLiteral("000")});

    // The chart: one line with its points, dates and times across, points up,
    // every label in the user's locale.
    m_chart = new QChart;
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(QLocale());
    m_chart->legend()->hide();
    m_chart->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    m_chart->setTitleFont(titleFont);
    m_serie = new QLineSeries;
    m_serie->setPointsVisible(true);
    m_chart->addSeries(m_serie);
    // The theme gives the colour when the series joins the chart.
    QPen pen = m_serie->pen();
    pen.setWidth(2);
    m_serie->setPen(pen);
    m_asseTempo = new QDateTimeAxis;
    m_asseTempo->setFormat(QLocale().dateTimeFormat(QLocale::ShortFormat));
    m_asseTempo->setTickCount(5);
    m_assePunti = new QValueAxis;
    m_assePunti->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_asseTempo, Qt::AlignBottom);
    m_chart->addAxis(m_assePunti, Qt::AlignLeft);
    m_serie->attachAxis(m_asseTempo);
    m_serie->attachAxis(m_assePunti);
    Grafico = new QChartView(m_chart);
    Grafico->setObjectName(QStringLiteral("Grafico"));
    Grafico->setRenderHint(QPainter::Antialiasing);
    Grafico->setMinimumHeight(200);

    auto *tables = new QSplitter(Qt::Horizontal);
    tables->setChildrenCollapsible(false);
    tables->addWidget(titledPane(tables, QStringLiteral("&Rilevazioni"), TblRilevazioni));
    tables->addWidget(titledPane(tables, QStringLiteral("&Membri"), TblMembri));
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
    BtnChiudi = addCommandButton(this, "BtnChiudi", "&Chiudi", 0, 0, 1215, 435);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {BtnCopia, BtnSalva, BtnElimina}) {
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
    QWidget::setTabOrder(BtnElimina, BtnChiudi);

    connect(BtnCopia, &QPushButton::clicked, this, &Form4::BtnCopia_Click);
    connect(BtnSalva, &QPushButton::clicked, this, &Form4::BtnSalva_Click);
    connect(BtnElimina, &QPushButton::clicked, this, &Form4::BtnElimina_Click);
    connect(BtnChiudi, &QPushButton::clicked, this, &Form4::BtnChiudi_Click);
    connect(TblMembri->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { disegnaGrafico(); });
    connect(TblRilevazioni->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { aggiornaPulsanti(); });

    chiediNomeImmagine = [](QWidget *parent, const QString &proposed) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva immagine del grafico"), proposed,
                                            QStringLiteral("Immagini PNG (*.png)"));
    };

    Data1.setDatabaseName(Membri::fileName());

    // Comfortable on a screen of 1024 x 768, the tables over the chart.
    resize(960, 680);
    splitter->setSizes({330, 300});
    tables->setSizes({330, 630});

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
    const int madre = madreSelezionata();
    const QString madreTesto = madre >= 0 ? m_quadro.madri[static_cast<std::size_t>(madre)].madre : QString();

    StoricoDati::Quadro quadro;
    try {
        const QSqlDatabase db = Data1.database();
        quadro = StoricoDati::componi(Storico::leggiStoria(db, Data1.DatabaseName()));
        StoricoDati::assegnaNomi(quadro,
                                 Storico::leggiNomi(db, Data1.DatabaseName(), StoricoDati::rilevazioniDeiNomi(quadro)));
    } catch (...) {
        Data1.close();
        throw;
    }
    Data1.close();
    m_rilevazioni.inizioAggiornamento();
    m_membri.inizioAggiornamento();
    m_quadro = std::move(quadro);
    m_membri.fineAggiornamento();
    m_rilevazioni.fineAggiornamento();
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

int Form4::rilevazioneSelezionata() const
{
    const QModelIndexList rows = TblRilevazioni->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_ordineRilevazioni->mapToSource(rows.first()).row();
}

int Form4::madreSelezionata() const
{
    const QModelIndexList rows = TblMembri->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_ordineMembri->mapToSource(rows.first()).row();
}

void Form4::aggiornaPulsanti()
{
    const bool any = !m_quadro.rilevazioni.empty();
    BtnCopia->setEnabled(any);
    BtnSalva->setEnabled(any);
    BtnElimina->setEnabled(any && rilevazioneSelezionata() >= 0);
}

void Form4::disegnaGrafico()
{
    const int madre = madreSelezionata();
    const QList<QPointF> punti = StoricoDati::serie(m_quadro, madre);
    m_chart->setTitle(StoricoDati::titoloGrafico(m_quadro, madre));
    m_serie->replace(punti);

    qreal xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    if (punti.isEmpty()) {
        xMin = xMax = static_cast<qreal>(QDateTime::currentDateTime().toMSecsSinceEpoch());
    } else {
        xMin = xMax = punti.front().x();
        yMin = yMax = punti.front().y();
        for (const QPointF &p : punti) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    // A single point stands in the middle of a day; the first and last
    // points of a span stand clear of the chart's edges.
    const qreal xMargin = xMax - xMin < 60 * 1000 ? dayMs / 2 : (xMax - xMin) * 0.03;
    xMin -= xMargin;
    xMax += xMargin;
    const qreal margin = yMax > yMin ? (yMax - yMin) * 0.05 : std::max<qreal>(5, std::abs(yMax) * 0.05);
    m_asseTempo->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMin)),
                          QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMax)));
    m_assePunti->setRange(yMin - margin, yMax + margin);
    m_assePunti->applyNiceNumbers();
}

QImage Form4::immagineGrafico() const
{
    return Grafico->grab().toImage();
}

void Form4::BtnCopia_Click()
{
    runGuarded(this, [this] {
        const QImage image = immagineGrafico();
        if (image.isNull())
            throw std::runtime_error("Impossibile copiare il grafico: l'immagine non si può creare.");
        QGuiApplication::clipboard()->setImage(image);
    });
}

void Form4::BtnSalva_Click()
{
    runGuarded(this, [this] {
        const QString path =
            chiediNomeImmagine(this, QDir::current().absoluteFilePath(QStringLiteral("Quadrivo-storico.png")));
        if (path.isEmpty())
            return;
        const QString shown = QDir::toNativeSeparators(path);
        const auto failed = [&](const QString &why) {
            return std::runtime_error(
                QStringLiteral("Impossibile salvare l'immagine «%1»: %2. Nessun file è stato scritto.")
                    .arg(shown, why)
                    .toStdString());
        };
        const QImage image = immagineGrafico();
        if (image.isNull())
            throw failed(QStringLiteral("l'immagine non si può creare"));
        // Written under a temporary name and renamed when complete: a file
        // is there whole or not at all.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            const QFileInfo info(path);
            if (info.isDir())
                throw failed(QStringLiteral("è una cartella, non un file"));
            if (!info.absoluteDir().exists())
                throw failed(QStringLiteral("la cartella non esiste"));
            throw failed(QStringLiteral("il file non si può creare (permesso negato o cartella di sola lettura)"));
        }
        QImageWriter writer(&file, "png");
        if (!writer.write(image)) {
            file.cancelWriting();
            throw failed(QStringLiteral("errore di scrittura (disco pieno?)"));
        }
        if (!file.commit())
            throw failed(QStringLiteral("il file non si può completare (disco pieno o permesso negato)"));
    });
}

void Form4::BtnElimina_Click()
{
    const int selected = rilevazioneSelezionata();
    if (selected < 0)
        return;
    const StoricoDati::RigaRilevazione &r = m_quadro.rilevazioni[static_cast<std::size_t>(selected)];
    const QString data = StoricoDati::testoData(r, QLocale());
    if (!MessageBox::ask(this, QStringLiteral("Eliminare la rilevazione del %1?").arg(data), applicationTitle()))
        return;
    const qint64 id = r.id;
    runGuarded(this, [this, id] {
        try {
            Storico::eliminaRilevazione(Data1.database(), Data1.DatabaseName(), id);
        } catch (...) {
            Data1.close();
            throw;
        }
        Data1.close();
    });
    // Shown again as the file now holds it, also after a failure.
    runGuarded(this, [this] { carica(); });
}

void Form4::BtnChiudi_Click()
{
    accept();
}
