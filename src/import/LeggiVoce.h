// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <QStringView>

/// Reads the next item of a text from position pos and advances pos past it
/// and past the comma or line break that ends it.
QString LeggiVoce(QStringView text, qsizetype &pos);

/// The same item as LeggiVoce, as a view into text: an item is always one
/// unbroken stretch of the text, so scanning needs no copies.
QStringView nextItem(QStringView text, qsizetype &pos);
