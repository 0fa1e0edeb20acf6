// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "app/Form1.h"
#include "app/HeapSettings.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    configureHeap();
    QApplication app(argc, argv);
    // Desktops match the running program to its menu entry and icon by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUADRIVO_APP_ID));
    QTranslator qtTexts;
    caricaTraduzioniQt(app, qtTexts);
    Form1 form;
    form.show();
    return app.exec();
}
