// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ui/ModalForm.h"

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class TextBox;

/// The export window: shows the report, selects it and copies it to the
/// clipboard; shows it in another format, and saves the grid as CSV.
class Form3 : public ModalForm
{
    Q_OBJECT

public:
    /// The formats of the combo box, in its order.
    enum Formato { Testo, BBCode, Markdown };

    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    /// The text box that holds the report.
    TextBox *Text1() const { return m_text1; }

    /// The text of a format, put in the text box when it is chosen; none,
    /// and the box keeps its text.
    std::function<QString(Formato formato)> testoDelFormato;
    /// Asks where the CSV file goes, starting from the proposed path; an
    /// empty answer cancels. A file dialog unless replaced.
    std::function<QString(QWidget *parent, const QString &proposed)> chiediNomeCsv;
    /// Writes the CSV file at the path; none, and "Salva CS&V..." does nothing.
    std::function<void(const QString &path)> scriviCsv;

private slots:
    void BtnSelAll_Click();
    void BtnCopia_Click();
    void BtnChiudi_Click();
    void CmbFormato_Click(int index);
    void BtnCsv_Click();

private:
    void Form_Load();

    TextBox *m_text1 = nullptr;
    QPushButton *BtnSelAll = nullptr;
    QPushButton *BtnCopia = nullptr;
    QPushButton *BtnChiudi = nullptr;
    QLabel *LblFormato = nullptr;
    QComboBox *CmbFormato = nullptr;
    QPushButton *BtnCsv = nullptr;
};
