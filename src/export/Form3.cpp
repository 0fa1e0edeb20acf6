// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Form3.h"

#include "AppIcon.h"
#include "CenterForm.h"
#include "Guarded.h"
#include "TextBox.h"
#include "Twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>

Form3::Form3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Esportazione Quadrivo"));
    setWindowIcon(appIcon());
    setFont(msSansSerif(false));
    setModal(true);
    setClientSizeTwips(this, 7725, 8535);

    m_text1 = new TextBox(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(msSansSerif(false));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab walks the window's controls rather than typing into the report.
    m_text1->setTabChangesFocus(true);
    placeTwips(m_text1, 300, 240, 7095, 6975);

    const auto button = [this](QPushButton *&b, const char *name, const char *caption, int left, int width) {
        b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(msSansSerif(true));
        // Neither Enter nor Escape belongs to any button here.
        b->setAutoDefault(false);
        b->setDefault(false);
        placeTwips(b, left, 7860, width, 435);
    };
    button(BtnSelAll, "BtnSelAll", "&Seleziona tutto", 300, 1695);
    button(BtnCopia, "BtnCopia", "C&opia in clipboard", 3000, 2235);
    button(BtnChiudi, "BtnChiudi", "&Chiudi", 6240, 1215);

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

void Form3::keyPressEvent(QKeyEvent *event)
{
    // The window has no cancel button: Escape does not close it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
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
