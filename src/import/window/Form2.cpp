// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/window/Form2.h"

#include "import/FileEsempio.h"
#include "import/Gradi.h"
#include "import/Importazione.h"
#include "import/TextFile.h"
#include "ranking/Module1.h"
#include "store/Membri.h"
#include "ui/CenterForm.h"
#include "ui/Guarded.h"
#include "ui/MessageBox.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPushButton>

Form2::Form2(QWidget *parent)
    : ModalForm(parent, QStringLiteral("Inserimento palmeria "), 7725, 8535)
{
    setObjectName(QStringLiteral("Form2"));

    BtnAnnulla = addCommandButton(this, "BtnAnnulla", "&Annulla", 300, 7860, 1215, 435);
    BtnLeggi = addCommandButton(this, "BtnLeggi", "&Leggi da FILE", 2100, 7860, 1635, 435);
    BtnOk = addCommandButton(this, "BtnOk", "&OK", 6240, 7860, 1215, 435);

    Label1 = new QLabel(QStringLiteral("Incollare qui sotto la palmeria "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(msSansSerif(true));
    Label1->setFocusPolicy(Qt::NoFocus);
    placeTwips(Label1, 300, 300, 5055, 195);

    BtnSalva = addCommandButton(this, "BtnSalva", "&Salva FILE", 4020, 7860, 1635, 435);

    m_text1 = new TextBox(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(msSansSerif(false));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setTabChangesFocus(true);
    placeTwips(m_text1, 300, 660, 7095, 6375);

    QWidget::setTabOrder(BtnAnnulla, BtnLeggi);
    QWidget::setTabOrder(BtnLeggi, BtnOk);
    QWidget::setTabOrder(BtnOk, BtnSalva);
    QWidget::setTabOrder(BtnSalva, m_text1);
    BtnAnnulla->setFocus();

    connect(BtnAnnulla, &QPushButton::clicked, this, &Form2::BtnAnnulla_Click);
    connect(BtnLeggi, &QPushButton::clicked, this, &Form2::BtnLeggi_Click);
    connect(BtnSalva, &QPushButton::clicked, this, &Form2::BtnSalva_Click);
    connect(BtnOk, &QPushButton::clicked, this, &Form2::BtnOk_Click);

    Data1.setDatabaseName(Membri::fileName());

    Form_Load();
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    CenterForm(this);
    QString word;
    if (Module1::TipoDati == 1)
        word = QStringLiteral("INIZIALE");
    else if (Module1::TipoDati == 2)
        word = QStringLiteral("FINALE");
    Label1->setText(Label1->text() + word);
}

bool Form2::CercaGrado(const QString &phrase)
{
    return m_gradi.CercaGrado(phrase);
}

void Form2::BtnLeggi_Click()
{
    runGuarded(this, [this] {
        m_text1->setText(QString());
        const QString name = nomeFileEsempio(Module1::TipoDati);
        if (!esisteFileOrdinario(name)) {
            MessageBox::show(this, QStringLiteral("File '%1' non trovato").arg(name), MessageBox::Icon::None,
                             applicationTitle());
            return;
        }
        m_text1->setText(leggiFileEsempio(name));
    });
}

void Form2::BtnSalva_Click()
{
    runGuarded(this, [this] { salvaFileEsempio(nomeFileEsempio(Module1::TipoDati), m_text1->Text()); });
}

void Form2::BtnAnnulla_Click()
{
    reject();
}

void Form2::BtnOk_Click()
{
    bool imported = false;
    runGuarded(this, [this, &imported] {
        if (!esisteFileOrdinario(QStringLiteral("Gradi.txt"))) {
            MessageBox::show(this, QStringLiteral("File 'Gradi.txt' non trovato"), MessageBox::Icon::None,
                             applicationTitle());
            return;
        }
        const QString text = m_text1->Text();
        if (text.isEmpty()) {
            MessageBox::show(this, QStringLiteral("Nessun testo incollato"), MessageBox::Icon::Exclamation, QString());
            return;
        }
        // A rank list that cannot be read stops the import before it
        // frees a single record.
        readTextFile(QStringLiteral("Gradi.txt"));
        // The import reads its own copy of the list; the box's goes while it
        // runs and comes back if the import stops.
        const int cursor = m_text1->release();
        QString storico;
        try {
            const Gradi::DuranteImportazione importazione(m_gradi);
            importaPalmeria(
                Data1, text, Module1::TipoDati, [this](const QString &phrase) { return CercaGrado(phrase); }, QLocale(),
                &storico);
        } catch (...) {
            m_text1->putBack(text, cursor);
            throw;
        }
        if (!storico.isEmpty())
            MessageBox::show(this, storico, MessageBox::Icon::Exclamation, applicationTitle());
        imported = true;
    });
    // Also after an import that stopped part-way: its first lines are saved.
    MessageBox::warn(this, Data1.takeCopyWarning());
    if (imported)
        accept();
}
