#pragma once
// "Kurve zeichnen": the dialog that asks for the variable along the x-axis and its
// range, and the plot window with the chart, the value under the mouse, zoom (wheel and
// rubber band), reset, the exports and printing.
#include <QChartView>
#include <QDialog>
#include <QWidget>

#include <string>
#include <vector>

#include "core/plot/Kurve.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kd {

class Dateidialoge;
class Meldungen;
class KurvenDiagramm;

// The range dialog. OK checks the numbers (TextZuZahl: "2,5" and "1E3" are read): a
// value it refuses beeps, gets the focus and keeps the dialog open.
class DlgKurve : public QDialog {
    Q_OBJECT
public:
    DlgKurve(const std::vector<std::string>& variablen, Meldungen& meldungen, QWidget* eltern = nullptr);

    Kurvenbereich Bereich() const { return bereich_; }
    bool LogY() const { return logY_; }

    QComboBox* Variable = nullptr;
    QLineEdit* Von = nullptr;
    QLineEdit* Bis = nullptr;
    QLineEdit* Punkte = nullptr;
    QCheckBox* LogXBox = nullptr;
    QCheckBox* LogYBox = nullptr;
    QPushButton* OkKnopf = nullptr;

public slots:
    void OkClick();

private:
    std::vector<std::string> variablen_;
    Meldungen& meldungen_;
    Kurvenbereich bereich_;
    bool logY_ = false;
};

// The chart view: the wheel zooms about the mouse, a drag with the left button zooms
// to its rectangle, the right button steps back to the whole table.
class KurvenAnsicht : public QChartView {
    Q_OBJECT
public:
    explicit KurvenAnsicht(KurvenDiagramm* diagramm, QWidget* eltern = nullptr);
    KurvenDiagramm* Diagramm() const { return diagramm_; }

signals:
    void MausWert(QPointF wert, QPoint pos);

protected:
    void wheelEvent(QWheelEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    KurvenDiagramm* diagramm_;
};

class KurvenFenster : public QWidget {
    Q_OBJECT
public:
    KurvenFenster(const Kurventabelle& tabelle, bool logX, bool logY, Dateidialoge& dialoge,
                  Meldungen& meldungen, QWidget* eltern = nullptr);

    KurvenDiagramm* Diagramm() const { return diagramm_; }
    KurvenAnsicht* Ansicht = nullptr;
    QLabel* Wertanzeige = nullptr;
    QPushButton* Zuruecksetzen = nullptr;
    QPushButton* BildSpeichern = nullptr;
    QPushButton* Drucken = nullptr;
    QPushButton* CsvSpeichern = nullptr;
    QPushButton* Kopieren = nullptr;

    // The text of the value display for a point of the chart: the mouse position and
    // each curve's value at the nearest abscissa.
    QString WertText(QPointF wert) const;

public slots:
    void ZuruecksetzenClick();
    void BildSpeichernClick();
    void DruckenClick();
    void CsvSpeichernClick();
    void KopierenClick();

private:
    KurvenDiagramm* diagramm_;
    Dateidialoge& dialoge_;
    Meldungen& meldungen_;
};

} // namespace kd
