// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

class QCoreApplication;
class QTranslator;

/// Loads Qt's own Italian texts (context menus, standard buttons, dialogs)
/// into the translator and installs it, whatever the system locale: the
/// program speaks Italian throughout. Looks in Qt's translations folder,
/// then in "translations" beside the program. Returns false, with a note on
/// standard error, when no translation file is found; the program then
/// goes on with Qt's English texts.
bool caricaTraduzioniQt(QCoreApplication &app, QTranslator &translator);
