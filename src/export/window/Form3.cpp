// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/window/Form3.h"

#include "ui/CenterForm.h"
#include "ui/FileDialogs.h"
#include "ui/Guarded.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

Form3::Form3(QWidget *parent)
    : ModalForm(parent, QStringLiteral("Esportazione Quadrivo"), 7725, 9195)
{
    setObjectName(QStringLiteral("Form3"));

    m_text1 = new TextBox(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(msSansSerif(false));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab walks the window's controls rather than typing into the report.
    m_text1->setTabChangesFocus(true);
    placeTwips(m_text1, 300, 240, 7095, 6975);

    BtnSelAll = addCommandButton(this, "BtnSelAll", "&Seleziona tutto", 300, 7860, 1695, 435);
    BtnCopia = addCommandButton(this, "BtnCopia", "C&opia in clipboard", 3000, 7860, 2235, 435);
    BtnChiudi = addCommandButton(this, "BtnChiudi", "&Chiudi", 6240, 7860, 1215, 435);

    // The row of the formats and the CSV file, under the buttons.
    LblFormato = new QLabel(QStringLiteral("&Formato:"), this);
    LblFormato->setObjectName(QStringLiteral("LblFormato"));
    LblFormato->setFont(msSansSerif(true));
    LblFormato->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(LblFormato, 300, 8520, 900, 435);
    CmbFormato = new QComboBox(this);
    CmbFormato->setObjectName(QStringLiteral("CmbFormato"));
    CmbFormato->setFont(msSansSerif(false));
    CmbFormato->addItems(
        {QStringLiteral("Testo"), QStringLiteral("BBCode (forum)"), QStringLiteral("Markdown (Discord)")});
    placeTwips(CmbFormato, 1260, 8520, 2535, 435);
    LblFormato->setBuddy(CmbFormato);
    BtnCsv = addCommandButton(this, "BtnCsv", "Salva CS&V...", 5760, 8520, 1695, 435);

    QWidget::setTabOrder(BtnSelAll, BtnCopia);
    QWidget::setTabOrder(BtnCopia, BtnChiudi);
    QWidget::setTabOrder(BtnChiudi, m_text1);
    QWidget::setTabOrder(m_text1, CmbFormato);
    QWidget::setTabOrder(CmbFormato, BtnCsv);
    BtnSelAll->setFocus();

    connect(BtnSelAll, &QPushButton::clicked, this, &Form3::BtnSelAll_Click);
    connect(BtnCopia, &QPushButton::clicked, this, &Form3::BtnCopia_Click);
    connect(BtnChiudi, &QPushButton::clicked, this, &Form3::BtnChiudi_Click);
    connect(CmbFormato, &QComboBox::currentIndexChanged, this, &Form3::CmbFormato_Click);
    connect(BtnCsv, &QPushButton::clicked, this, &Form3::BtnCsv_Click);

    chiediNomeCsv = chiediFileCsv;

    Form_Load();
}

Form3::~Form3() = default;

void Form3::Form_Load()
{
    CenterForm(this);
}

void Form3::BtnSelAll_Click()
{
    runGuarded(this, [this] {
        m_text1->setFocus();
        m_text1->selectAll();
    });
}

void Form3::BtnCopia_Click()
{
    runGuarded(this, [this] {
        m_text1->setFocus();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(m_text1->Text());
    });
}

void Form3::BtnChiudi_Click()
{
    runGuarded(this, [this] { accept(); });
}

void Form3::CmbFormato_Click(int index)
{
    runGuarded(this, [this, index] {
        if (testoDelFormato)
            m_text1->setText(testoDelFormato(static_cast<Formato>(index)));
    });
}

void Form3::BtnCsv_Click()
{
    runGuarded(this, [this] {
        if (!scriviCsv)
            return;
        const QString path = chiediNomeCsv(this, QDir::current().absoluteFilePath(QStringLiteral("Quadrivo.csv")));
        if (!path.isEmpty())
            scriviCsv(path);
    });
}
