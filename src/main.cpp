// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form1.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    caricaTraduzioniQt(app, qtTexts);
    Form1 form;
    form.show();
    return app.exec();
}
