// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/FileDialogs.h"

#include <QFileDialog>

QString chiediFileCsv(QWidget *parent, const QString &proposed)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva in formato CSV"), proposed,
                                        QStringLiteral("File CSV (*.csv)"));
}
