// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QtCharts/QChartView>

class QDateTimeAxis;
class QImage;
class QLineSeries;
class QValueAxis;

/// The history window's chart: one line with its points, dates and times
/// across, points up, every label in the user's locale.
class GraficoStorico : public QChartView
{
    Q_OBJECT

public:
    explicit GraficoStorico(const QFont &font, QWidget *parent = nullptr);

    /// Shows the points (x: milliseconds since the epoch, y: points) under
    /// the title.
    void mostra(const QString &titolo, const QList<QPointF> &punti);

    /// The chart as it is drawn now.
    QImage immagine();

private:
    QChart *m_chart = nullptr;
    QLineSeries *m_serie = nullptr;
    QDateTimeAxis *m_asseTempo = nullptr;
    QValueAxis *m_assePunti = nullptr;
};

/// Writes the image as PNG to the path, whole or not at all. Throws
/// UserError naming the file.
void salvaImmagine(const QImage &image, const QString &path);
