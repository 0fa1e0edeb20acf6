// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form1.h"
#include "app/HeapSettings.h"

#include "core/Failure.h"
#include "export/window/Export.h"
#include "history/PeriodoStorico.h"
#include "history/window/Form4.h"
#include "import/window/Form2.h"
#include "ranking/Griglia.h"
#include "ranking/Module1.h"
#include "store/CopiaGiornaliera.h"
#include "store/DamagedDatabase.h"
#include "store/Membri.h"
#include "ui/AppIcon.h"
#include "ui/CenterForm.h"
#include "ui/Guarded.h"
#include "ui/MessageBox.h"
#include "ui/ModalForm.h"
#include "ui/Twips.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quadrivo punteggio alleanza ZORVA"));
    setWindowIcon(appIcon());
    setFont(msSansSerif(false));
    setClientSizeTwips(this, 10065, 8565);

    Fgrid = new QTableView(this);
    Fgrid->setObjectName(QStringLiteral("Fgrid"));
    Fgrid->setFont(msSansSerif(false));
    Fgrid->setModel(&m_model);
    Fgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Fgrid->setWordWrap(false);
    Fgrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Fgrid->horizontalHeader()->setHighlightSections(false);
    Fgrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Fgrid->verticalHeader()->setHighlightSections(false);
    Fgrid->verticalHeader()->setDefaultSectionSize(Fgrid->fontMetrics().height() + 4);
    Fgrid->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(128, 255, 255); border: 0px;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray; padding: 0px 2px; }"
                       "QTableCornerButton::section { background-color: rgb(128, 255, 255); border: 0px;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray; }"));
    placeTwips(Fgrid, 360, 180, 9255, 7095);

    BtnDati1 = addCommandButton(this, "BtnDati1", "Dati &Iniziali", 420, 7920, 1455, 435);
    BtnDati2 = addCommandButton(this, "BtnDati2", "Dati &Finali", 1980, 7920, 1455, 435);
    BtnPulisci = addCommandButton(this, "BtnPulisci", "&Pulisci", 4020, 7920, 1215, 435);
    BtnEsporta = addCommandButton(this, "BtnEsporta", "E&sporta", 5700, 7920, 1215, 435);
    BtnEsci = addCommandButton(this, "BtnEsci", "&ESCI", 7440, 7920, 1215, 435);

    m_optOrdGroup = new QButtonGroup(this);
    const char *const captions[2] = {"Ordina x %", "Ordina x incr.punti"};
    const int lefts[2] = {420, 1980};
    const int widths[2] = {1575, 2175};
    for (int i = 0; i < 2; ++i) {
        OptOrd[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        OptOrd[i]->setObjectName(QStringLiteral("OptOrd%1").arg(i));
        OptOrd[i]->setFont(msSansSerif(true));
        placeTwips(OptOrd[i], lefts[i], 7500, widths[i], 195);
        m_optOrdGroup->addButton(OptOrd[i], i);
    }
    OptOrd[0]->setChecked(true);

    BtnStorico = addCommandButton(this, "BtnStorico", "S&torico", 8760, 7920, 855, 435);

    QWidget::setTabOrder(Fgrid, BtnDati1);
    QWidget::setTabOrder(BtnDati1, BtnDati2);
    QWidget::setTabOrder(BtnDati2, BtnPulisci);
    QWidget::setTabOrder(BtnPulisci, BtnEsporta);
    QWidget::setTabOrder(BtnEsporta, BtnEsci);
    QWidget::setTabOrder(BtnEsci, OptOrd[0]);
    QWidget::setTabOrder(OptOrd[0], OptOrd[1]);
    QWidget::setTabOrder(OptOrd[1], BtnStorico);

    connect(BtnDati1, &QPushButton::clicked, this, &Form1::BtnDati1_Click);
    connect(BtnDati2, &QPushButton::clicked, this, &Form1::BtnDati2_Click);
    connect(BtnPulisci, &QPushButton::clicked, this, &Form1::BtnPulisci_Click);
    connect(BtnEsporta, &QPushButton::clicked, this, &Form1::BtnEsporta_Click);
    connect(BtnEsci, &QPushButton::clicked, this, &Form1::BtnEsci_Click);
    connect(BtnStorico, &QPushButton::clicked, this, &Form1::BtnStorico_Click);
    // Only the button that becomes selected reloads the grid.
    connect(m_optOrdGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            OptOrd_Click(id);
    });

    Data1.setDatabaseName(Membri::fileName());

    m_tidyUp = new QTimer(this);
    m_tidyUp->setSingleShot(true);
    m_tidyUp->setInterval(0);
    connect(m_tidyUp, &QTimer::timeout, this, [this] {
        Data1.checkpoint();
        releaseFreedMemory();
    });

    // The header row is there from the start, also when the database
    // cannot be read.
    GridTexts initial;
    IntestaGriglia(initial);
    m_model.assign(std::move(initial));
    applyColumnWidths();

    Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    CenterForm(this);
    runGuarded(this, [this] {
        try {
            Membri::createIfMissing(Data1.DatabaseName());
            CaricaGriglia();
        } catch (const DamagedDatabase &error) {
            throw UserError(error.message() + CopiaGiornaliera::comeTornareAllaCopia(Data1.DatabaseName(), QLocale()));
        }
        if (Data1.readOnly())
            MessageBox::show(this,
                             QStringLiteral("Il file %1 è di sola lettura: si possono consultare le statistiche e "
                                            "lo storico, ma non modificarli.")
                                 .arg(Membri::fileName()),
                             MessageBox::Icon::Information, applicationTitle());
    });
}

void Form1::CaricaGriglia()
{
    m_model.clearRows();
    const QLocale locale;
    Data1.setRecordSource(Membri::selectRanking(OptOrd[0]->isChecked()));
    Data1.Refresh();
    GridTexts grid;
    loadGrid(grid, Data1.Recordset(), locale);
    // The grid holds its own texts: the records need no memory any more
    // (the next rebuild and "&Pulisci" run their own statement).
    Data1.Recordset().Close();
    FormattaGriglia(grid, locale);
    IntestaGriglia(grid);
    m_model.assign(std::move(grid));
    applyColumnWidths();
}

void Form1::applyColumnWidths()
{
    const qreal dpi = Fgrid->logicalDpiX();
    const GridTexts &texts = m_model.texts();
    Fgrid->verticalHeader()->setFixedWidth(twipsToPixels(texts.ColWidth(0), dpi));
    for (int c = 1; c < GridTexts::Cols; ++c)
        Fgrid->setColumnWidth(c - 1, twipsToPixels(texts.ColWidth(c), dpi));
}

void Form1::apriInserimento(qint16 tipoDati)
{
    Module1::TipoDati = tipoDati;
    releaseMemoryBeforeAnotherWindow();
    runGuarded(this, [this] {
        Form2 form(this);
        form.exec();
    });
    runGuarded(this, [this] { CaricaGriglia(); });
    // The pasted list, the import's records and the old grid are gone.
    tidyUpOnceShown();
}

void Form1::BtnDati1_Click()
{
    apriInserimento(1);
}

void Form1::BtnDati2_Click()
{
    apriInserimento(2);
}

void Form1::OptOrd_Click(int /*index*/)
{
    runGuarded(this, [this] { CaricaGriglia(); });
}

void Form1::BtnPulisci_Click()
{
    runGuarded(this, [this] {
        Data1.setRecordSource(Membri::selectValid());
        Data1.Refresh();
        // Refused also when there is no record to clear.
        Data1.checkWritable();
        Membri::freeAll(Data1.Recordset());
    });
    MessageBox::warn(this, Data1.takeCopyWarning());
    // Reloaded even after a failure, so the grid shows what the table holds.
    runGuarded(this, [this] { CaricaGriglia(); });
    tidyUpOnceShown();
}

void Form1::BtnEsporta_Click()
{
    // The history is read only when a post asks for it.
    const GridTexts &grid = m_model.texts();
    const auto leggiPeriodo = [&grid] { return StoricoDati::leggiPeriodo(Membri::fileName(), grid, QLocale()); };
    runGuarded(this, [&] { exportReport(this, grid, OptOrd[0]->isChecked(), leggiPeriodo); });
}

void Form1::BtnEsci_Click()
{
    close();
}

// The history window; the grid is rebuilt afterwards only when a
// comparison there rewrote the member table.
void Form1::BtnStorico_Click()
{
    releaseMemoryBeforeAnotherWindow();
    bool confrontato = false;
    runGuarded(this, [this, &confrontato] {
        Form4 form(this);
        form.exec();
        confrontato = form.confrontoFatto();
    });
    if (confrontato)
        runGuarded(this, [this] { CaricaGriglia(); });
    // The history's tables and charts are gone.
    tidyUpOnceShown();
}

// Before the entry window or the history window: their peak (an import,
// every snapshot read, a comparison) comes on top of what the process
// holds. This window closes the file, so that an import may hold it alone
// and nothing of it stays in memory (its pages are out of date once the
// other window writes); the grid opens it again. What the sorts and
// reports since the last command left free goes too.
void Form1::releaseMemoryBeforeAnotherWindow()
{
    Data1.close();
    releaseFreedMemory();
}

// Once the window has shown the command's outcome (a zero timer runs when
// the events ready, its repaint among them, have been handled): the user
// waits for the grid, not for the log or the heap. The log that an import
// left beside the file goes into it, so that the file alone holds every
// record again, and the heap gives back its empty pages.
void Form1::tidyUpOnceShown()
{
    m_tidyUp->start();
}
