// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "import/Gradi.h"
#include "store/DataControl.h"

#include "ui/ModalForm.h"

class QLabel;
class QPushButton;
class TextBox;

/// The entry window: one member list is pasted, read from or saved to the
/// sample file of the data kind, and imported with "&OK".
class Form2 : public ModalForm
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);
    ~Form2() override;

    TextBox *Text1() const { return m_text1; }

private slots:
    void BtnLeggi_Click();
    void BtnSalva_Click();
    void BtnAnnulla_Click();
    void BtnOk_Click();

private:
    void Form_Load();
    /// The rank lookup of the import: "Gradi.txt", answered from memory
    /// while the file is proved unchanged.
    bool CercaGrado(const QString &phrase);

    QPushButton *BtnAnnulla = nullptr;
    QPushButton *BtnLeggi = nullptr;
    QPushButton *BtnOk = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *BtnSalva = nullptr;
    TextBox *m_text1 = nullptr;

    DataControl Data1;
    Gradi m_gradi;
};
