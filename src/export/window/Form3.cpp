// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "export/window/Form3.h"

#include "ui/CenterForm.h"
#include "ui/Guarded.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

Form3::Form3(QWidget *parent)
    : ModalForm(parent, QStringLiteral("Esportazione Quadrivo"), 7725, 8535)
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

    QWidget::setTabOrder(BtnSelAll, BtnCopia);
    QWidget::setTabOrder(BtnCopia, BtnChiudi);
    QWidget::setTabOrder(BtnChiudi, m_text1);
    BtnSelAll->setFocus();

    connect(BtnSelAll, &QPushButton::clicked, this, &Form3::BtnSelAll_Click);
    connect(BtnCopia, &QPushButton::clicked, this, &Form3::BtnCopia_Click);
    connect(BtnChiudi, &QPushButton::clicked, this, &Form3::BtnChiudi_Click);

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
