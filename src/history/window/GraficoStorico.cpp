// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "history/window/GraficoStorico.h"

#include "core/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal dayMs = 24.0 * 60 * 60 * 1000;

} // namespace

GraficoStorico::GraficoStorico(const QFont &font, QWidget *parent)
    : QChartView(new QChart, parent)
    , m_chart(chart())
{
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(QLocale());
    m_chart->legend()->hide();
    m_chart->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = font;
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    m_chart->setTitleFont(titleFont);
    m_serie = new QLineSeries;
    m_serie->setPointsVisible(true);
    m_chart->addSeries(m_serie);
    // The theme gives the colour when the series joins the chart.
    QPen pen = m_serie->pen();
    pen.setWidth(2);
    m_serie->setPen(pen);
    m_asseTempo = new QDateTimeAxis;
    m_asseTempo->setFormat(QLocale().dateTimeFormat(QLocale::ShortFormat));
    m_asseTempo->setTickCount(5);
    m_assePunti = new QValueAxis;
    m_assePunti->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_asseTempo, Qt::AlignBottom);
    m_chart->addAxis(m_assePunti, Qt::AlignLeft);
    m_serie->attachAxis(m_asseTempo);
    m_serie->attachAxis(m_assePunti);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(200);
}

void GraficoStorico::mostra(const QString &titolo, const QList<QPointF> &punti)
{
    m_chart->setTitle(titolo);
    m_serie->replace(punti);

    qreal xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    if (punti.isEmpty()) {
        xMin = xMax = static_cast<qreal>(QDateTime::currentDateTime().toMSecsSinceEpoch());
    } else {
        xMin = xMax = punti.front().x();
        yMin = yMax = punti.front().y();
        for (const QPointF &p : punti) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    // A single point stands in the middle of a day; the first and last
    // points of a span stand clear of the chart's edges.
    const qreal xMargin = xMax - xMin < 60 * 1000 ? dayMs / 2 : (xMax - xMin) * 0.03;
    xMin -= xMargin;
    xMax += xMargin;
    const qreal margin = yMax > yMin ? (yMax - yMin) * 0.05 : std::max<qreal>(5, std::abs(yMax) * 0.05);
    m_asseTempo->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMin)),
                          QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMax)));
    m_assePunti->setRange(yMin - margin, yMax + margin);
    m_assePunti->applyNiceNumbers();
}

QImage GraficoStorico::immagine()
{
    return grab().toImage();
}

void salvaImmagine(const QImage &image, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [&](const QString &why) {
        return std::runtime_error(
            QStringLiteral("Impossibile salvare l'immagine «%1»: %2. Nessun file è stato scritto.")
                .arg(shown, why)
                .toStdString());
    };
    if (image.isNull())
        throw failed(QStringLiteral("l'immagine non si può creare"));
    // Written under a temporary name and renamed when complete: a file
    // is there whole or not at all.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo info(path);
        if (info.isDir())
            throw failed(QStringLiteral("è una cartella, non un file"));
        if (!info.absoluteDir().exists())
            throw failed(QStringLiteral("la cartella non esiste"));
        throw failed(QStringLiteral("il file non si può creare (permesso negato o cartella di sola lettura)"));
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        throw failed(QStringLiteral("errore di scrittura (disco pieno?)"));
    }
    if (!file.commit())
        throw failed(QStringLiteral("il file non si può completare (disco pieno o permesso negato)"));
}
