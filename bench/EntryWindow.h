// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class Form1;
class PaintWatcher;

/// An import as the user runs it: "Dati &Iniziali" (tipoDati 1) or "Dati
/// &Finali" (2) on the shown main window, the text pasted into the entry
/// window, which is let paint it, and "&OK". Returns the milliseconds from
/// the press of "&OK" to the main window's first frame after the entry
/// window closed and the grid was rebuilt. Ends the benchmark when a step
/// of the way is missing.
double importThroughWindows(Form1 &form, PaintWatcher &watcher, const QString &text, qint16 tipoDati);
