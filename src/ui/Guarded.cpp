// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/Guarded.h"

#include "ui/MessageBox.h"

#include <QString>

#include <new>

void showFailure(QWidget *parent, const std::exception &error)
{
    QString text;
    if (dynamic_cast<const std::bad_alloc *>(&error))
        text = QStringLiteral("Memoria insufficiente per completare l'operazione.");
    else
        text = QString::fromUtf8(error.what());
    MessageBox::show(parent, text, MessageBox::Icon::Critical, applicationTitle());
}

void showUnknownFailure(QWidget *parent)
{
    MessageBox::show(parent, QStringLiteral("Errore imprevisto: l'operazione è stata interrotta."),
                     MessageBox::Icon::Critical, applicationTitle());
}
