// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class Form1;
class PaintWatcher;

/// An import as the user runs it: "Dati &Iniziali" (tipoDati 1) or "Dati
/// &Finali" (2) on the shown main window, the text pasted into the entry
/// window, which is let paint it, and "&OK". The text is given away with
/// the paste: from then on only the entry window holds it, as in the
/// program, where the clipboard's text belongs to another. Returns the milliseconds from
/// the press of "&OK" to the main window's first frame after the entry
/// window closed and the grid was rebuilt. Ends the benchmark when a step
/// of the way is missing.
double importThroughWindows(Form1 &form, PaintWatcher &watcher, QString text, qint16 tipoDati);
