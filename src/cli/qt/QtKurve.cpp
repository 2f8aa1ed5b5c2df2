// The plot command's drawing: the chart of the plot window, laid out offscreen and
// written as SVG, PNG or PDF.
#include <QApplication>

#include <type_traits>

#include "../Befehle.h"
#include "../Kurvenplot.h"
#include "gui/plot/KurvenDiagramm.h"

extern "C" __attribute__((visibility("default"))) int kdcli_qt_plot(const kd::Kurventabelle* tabelle, int logX,
                                                                    int logY, const char* ausgabe) {
    // Charts are graphics items: they need the widget application object. Without a
    // display the offscreen platform serves.
    static int argc = 1;
    static char name[] = "kdformel-cli";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QCoreApplication::instance()) static QApplication app(argc, argv);
    kd::KurvenDiagramm diagramm(*tabelle, logX != 0, logY != 0);
    QString fehler;
    if (!kd::DiagrammSpeichern(diagramm, QString::fromLocal8Bit(ausgabe), fehler))
        return kdcli::Fehler(kdcli::Dateifehler, fehler.toStdString());
    return kdcli::Erfolg;
}

static_assert(std::is_same_v<decltype(&kdcli_qt_plot), kdcli::QtPlotFunktion>);
