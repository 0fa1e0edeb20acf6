// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/MessageBox.h"

#include <QMessageBox>

QString applicationTitle()
{
    return QStringLiteral("Quadrivo ZORVA");
}

namespace MessageBox {

void show(QWidget *parent, const QString &text, Icon icon, const QString &title)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace MessageBox
