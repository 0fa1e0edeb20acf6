// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ui/ModalForm.h"

class QPushButton;
class TextBox;

/// The export window: shows the report, selects it and copies it to the clipboard.
class Form3 : public ModalForm
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    /// The text box that holds the report.
    TextBox *Text1() const { return m_text1; }

private slots:
    void BtnSelAll_Click();
    void BtnCopia_Click();
    void BtnChiudi_Click();

private:
    void Form_Load();

    TextBox *m_text1 = nullptr;
    QPushButton *BtnSelAll = nullptr;
    QPushButton *BtnCopia = nullptr;
    QPushButton *BtnChiudi = nullptr;
};
