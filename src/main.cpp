// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 form;
    form.show();
    return app.exec();
}
