#pragma once
// The chart of a curve table (Qt Charts), shared by the plot window and the command
// line's plot command, so both draw the same picture: one colour per curve, a gap where
// the formula fails, axes with nice ticks in German number format, the variable names
// as axis titles and each curve's formula in the legend.
#include <QChart>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

#include "core/plot/Kurve.h"

class QCategoryAxis;
class QLineSeries;
class QPainter;

namespace kd {

// The logical size of the chart in the exports (points; 20 x 12.5 cm).
inline constexpr double DiagrammBreite = 566.9;
inline constexpr double DiagrammHoehe = 354.3;
// The resolution of PNG exports.
inline constexpr double DiagrammDpi = 300.0;

class KurvenDiagramm : public QChart {
    Q_OBJECT
public:
    KurvenDiagramm(const Kurventabelle& tabelle, bool logX, bool logY, QGraphicsItem* eltern = nullptr);

    const Kurventabelle& Tabelle() const { return tabelle_; }
    bool LogX() const { return logX_; }
    bool LogY() const { return logY_; }

    // A point of the chart (item coordinates) as values, and back (logarithmic axes
    // included).
    QPointF WertBei(QPointF position) const;
    QPointF PositionVon(QPointF wert) const;

    // The ranges of the whole table (the view after "Zurücksetzen"), in values.
    QRectF Gesamtbereich() const { return gesamt_; }
    // The visible ranges.
    QRectF Sichtbereich() const;
    void SetSichtbereich(const QRectF& bereich);
    void Zuruecksetzen() { SetSichtbereich(gesamt_); }

    // The tick values and texts the axes show now.
    QList<double> XTeilstriche() const { return xTicks_; }
    QList<double> YTeilstriche() const { return yTicks_; }
    QStringList XBeschriftung() const;
    QStringList YBeschriftung() const;

    // The number of line series drawn (one per unbroken piece of a curve).
    int Stuecke() const { return int(stuecke_.size()); }
    // The points the line series hold now (after thinning to the view), over all pieces.
    int GezeichnetePunkte() const;

private:
    void AchseBeschriften(Qt::Orientation o);
    // Fills the line series with the table's points in view, thinned to the width.
    void Punkte();
    // Values onto the linear axis and back: the decimal logarithm on a log axis.
    static double Hin(double v, bool log);
    static double Her(double v, bool log);
    QCategoryAxis* achseX_ = nullptr;
    QCategoryAxis* achseY_ = nullptr;
    Kurventabelle tabelle_;
    bool logX_ = false, logY_ = false;
    QRectF gesamt_;
    QList<double> xTicks_, yTicks_;
    // An unbroken piece of a curve: table rows [anfang, ende) of curve `kurve`.
    struct Stueck {
        QLineSeries* serie;
        std::size_t kurve, anfang, ende;
    };
    std::vector<Stueck> stuecke_;
    bool beschriften_ = false;
};

// Draws the chart into `ziel` of the painter (its whole scene item, as shown).
void DiagrammMalen(QChart& chart, QPainter& p, const QRectF& ziel);

// The chart as the bytes of a PNG (300 dpi), SVG or PDF file (`format` "png", "svg" or
// "pdf"), laid out at `groesse` points; empty when it cannot be drawn.
QByteArray DiagrammDaten(QChart& chart, const QString& format,
                         QSizeF groesse = QSizeF(DiagrammBreite, DiagrammHoehe));
// Writes `daten` through a temporary file renamed over `datei`; false with a message.
bool DateiSchreiben(const QString& datei, const QByteArray& daten, QString& fehler);

// Writes the chart as PNG (300 dpi), SVG or PDF, chosen by the file's suffix; the chart
// is laid out at `groesse` points first. False with a German message on failure.
bool DiagrammSpeichern(QChart& chart, const QString& datei, QString& fehler,
                       QSizeF groesse = QSizeF(DiagrammBreite, DiagrammHoehe));

// UTF-8 of the table as CSV for German spreadsheet programs (with a byte order mark,
// so they read it as UTF-8), and as tab-separated text for the clipboard.
QByteArray TabelleAlsCsv(const Kurventabelle& t);
QString TabelleAlsTsv(const Kurventabelle& t);

} // namespace kd
