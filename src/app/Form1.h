// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "ranking/GridModel.h"
#include "store/DataControl.h"

#include <QWidget>

class QButtonGroup;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

/// The main window: the ranking grid and every command of the program.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    /// The grid's texts as displayed.
    const GridTexts &grid() const { return m_model.texts(); }

private slots:
    void BtnDati1_Click();
    void BtnDati2_Click();
    void OptOrd_Click(int index);
    void BtnPulisci_Click();
    void BtnEsporta_Click();
    void BtnEsci_Click();
    void BtnStorico_Click();

private:
    void Form_Load();
    void CaricaGriglia();
    void apriInserimento(qint16 tipoDati);
    void applyColumnWidths();
    void releaseMemoryBeforeAnotherWindow();
    void tidyUpOnceShown();

    QTableView *Fgrid = nullptr;
    QPushButton *BtnDati1 = nullptr;
    QPushButton *BtnDati2 = nullptr;
    QPushButton *BtnPulisci = nullptr;
    QPushButton *BtnEsporta = nullptr;
    QPushButton *BtnEsci = nullptr;
    QPushButton *BtnStorico = nullptr;
    QRadioButton *OptOrd[2] = {};
    QButtonGroup *m_optOrdGroup = nullptr;

    DataControl Data1;
    GridModel m_model;
    QTimer *m_tidyUp = nullptr;
};
