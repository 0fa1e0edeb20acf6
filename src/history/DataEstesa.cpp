// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/DataEstesa.h"

namespace StoricoDati {

namespace {

// A date format with "yy" written "yyyy"; quoted literals left alone.
QString annoIntero(const QString &formato)
{
    QString out;
    bool citato = false;
    for (qsizetype i = 0; i < formato.size();) {
        const QChar c = formato[i];
        if (c == u'\'')
            citato = !citato;
        if (citato || c != u'y') {
            out += c;
            ++i;
            continue;
        }
        qsizetype fine = i;
        while (fine < formato.size() && formato[fine] == u'y')
            ++fine;
        out += fine - i == 2 ? QStringLiteral("yyyy") : formato.mid(i, fine - i);
        i = fine;
    }
    return out;
}

} // namespace

QString giornoEsteso(const QDateTime &quando, const QLocale &locale)
{
    return locale.toString(quando.date(), annoIntero(locale.dateFormat(QLocale::ShortFormat)));
}

QString momentoEsteso(const RigaRilevazione &r, const QLocale &locale)
{
    if (!r.quando.isValid())
        return r.quandoTesto;
    return locale.toString(r.quando, annoIntero(locale.dateTimeFormat(QLocale::ShortFormat)));
}

} // namespace StoricoDati
