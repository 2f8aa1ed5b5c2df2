#include "gui/plot/KurvenDiagramm.h"

#include <QCategoryAxis>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>

namespace kd {

namespace {

// The curve colours: distinct on white and in grey print.
const QColor Farben[] = {QColor(0, 90, 180),  QColor(200, 40, 30),  QColor(0, 140, 60),
                         QColor(230, 130, 0), QColor(120, 50, 160), QColor(0, 150, 160),
                         QColor(150, 100, 40), QColor(90, 90, 90)};

QString U8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

bool Darstellbar(double v, bool log) { return std::isfinite(v) && (!log || v > 0); }

// Both axes are linear category axes whose labels we set: a logarithmic axis is a
// linear one over the decimal logarithm of the values, labelled with the values.
QCategoryAxis* NeueAchse() {
    auto* a = new QCategoryAxis;
    a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    return a;
}

// The first view of a linear y-axis leaves out a few extreme values (a pole, a spike)
// that would squeeze the rest of the curve into a line: when the whole range is more
// than 20 times the range of the middle 98 % of the values, the view shows that
// middle part with a margin; the lines run off the edge, and zoom shows the rest.
// The range of the middle 98 % of the values (0 with fewer than 50 values).
double Mittelspanne(const Kurventabelle& t, bool logX, double& a, double& b) {
    std::vector<double> v;
    for (const Kurve& k : t.Kurven)
        for (std::size_t i = 0; i < k.Y.size() && i < t.X.size(); ++i)
            if (std::isfinite(k.Y[i]) && Darstellbar(t.X[i], logX)) v.push_back(k.Y[i]);
    if (v.size() < 50) return 0;
    std::sort(v.begin(), v.end());
    a = v[v.size() / 100];
    b = v[v.size() - 1 - v.size() / 100];
    return b - a;
}

void RobusterBereich(const Kurventabelle& t, bool logX, double& lo, double& hi) {
    double a = 0, b = 0;
    const double spanne = Mittelspanne(t, logX, a, b);
    if (!(spanne > 0) || !(hi - lo > 20 * spanne)) return;
    lo = std::max(lo, a - 0.1 * spanne);
    hi = std::min(hi, b + 0.1 * spanne);
}

// [lo, hi] widened to ticks covering it (linear) or to whole decades (log).
void Umfassen(double& lo, double& hi, bool log) {
    if (log) {
        if (!(lo > 0)) lo = hi > 0 ? hi / 10 : 0.1;
        if (!(hi > lo)) hi = lo * 10;
        lo = std::pow(10.0, std::floor(std::log10(lo) + 1e-12));
        hi = std::pow(10.0, std::ceil(std::log10(hi) - 1e-12));
        if (!(hi > lo)) hi = lo * 10;
        return;
    }
    if (!(hi > lo)) {
        const double d = std::max(1.0, std::fabs(lo) * 0.1);
        lo -= d;
        hi += d;
    }
    const std::vector<double> t = Teilstriche(lo, hi, 6);
    if (t.size() >= 2) lo = t.front(), hi = t.back();
}

// Lays the chart out now: the axes ask for a new layout by posted events when their
// labels change, and an export has no event loop to wait for.
void Auslegen(QChart& chart) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (chart.layout()) {
        chart.layout()->invalidate();
        chart.layout()->activate();
    }
}

} // namespace

KurvenDiagramm::KurvenDiagramm(const Kurventabelle& tabelle, bool logX, bool logY, QGraphicsItem* eltern)
    : QChart(eltern), tabelle_(tabelle), logX_(logX), logY_(logY) {
    setBackgroundBrush(Qt::white);
    setBackgroundRoundness(0);
    setAnimationOptions(QChart::NoAnimation);
    legend()->setAlignment(Qt::AlignBottom);

    achseX_ = NeueAchse();
    achseY_ = NeueAchse();
    achseX_->setTitleText(U8(NameAlsHtml(tabelle_.XName)));
    addAxis(achseX_, Qt::AlignBottom);
    addAxis(achseY_, Qt::AlignLeft);

    double xlo = HUGE_VAL, xhi = -HUGE_VAL, ylo = HUGE_VAL, yhi = -HUGE_VAL;
    for (double x : tabelle_.X)
        if (Darstellbar(x, logX_)) xlo = std::min(xlo, x), xhi = std::max(xhi, x);

    double qa = 0, qb = 0;
    const double sprung = logY_ ? 0 : Mittelspanne(tabelle_, logX_, qa, qb);
    std::string yTitel;
    const std::size_t n = tabelle_.X.size();
    for (std::size_t c = 0; c < tabelle_.Kurven.size(); ++c) {
        const Kurve& k = tabelle_.Kurven[c];
        if (!k.YName.empty() && yTitel.find(NameAlsHtml(k.YName)) == std::string::npos)
            yTitel += (yTitel.empty() ? "" : ", ") + NameAlsHtml(k.YName);
        QPen stift(Farben[c % std::size(Farben)]);
        stift.setWidthF(1.5);
        // Bevel joins and flat caps: round ones cost an arc per point when stroked.
        stift.setCapStyle(Qt::FlatCap);
        stift.setJoinStyle(Qt::BevelJoin);
        bool erstes = true;
        std::size_t anfang = 0, laenge = 0;
        auto abschliessen = [&] {
            if (laenge == 0) return;
            auto* s = new QLineSeries;
            s->setPen(stift);
            if (laenge == 1) {
                s->setPointsVisible(true);
                s->setMarkerSize(3);
            }
            addSeries(s);
            s->attachAxis(achseX_);
            s->attachAxis(achseY_);
            s->setName(U8(FormelAlsText(k.Formel)).toHtmlEscaped());
            if (!erstes)
                for (QLegendMarker* m : legend()->markers(s)) m->setVisible(false);
            erstes = false;
            stuecke_.push_back({s, c, anfang, anfang + laenge});
            laenge = 0;
        };
        for (std::size_t i = 0; i < n && i < k.Y.size(); ++i) {
            const double x = tabelle_.X[i], y = k.Y[i];
            if (!Darstellbar(x, logX_) || !Darstellbar(y, logY_)) {
                abschliessen();
                continue;
            }
            // A pole between two points (the sign flips by more than the middle range
            // of all values) is not joined: the line would cross the view on a value
            // the formula never takes.
            if (laenge > 0 && sprung > 0 && (y > 0) != (k.Y[i - 1] > 0) && std::fabs(y - k.Y[i - 1]) > sprung)
                abschliessen();
            ylo = std::min(ylo, y);
            yhi = std::max(yhi, y);
            if (laenge++ == 0) anfang = i;
        }
        abschliessen();
        if (erstes) {
            // A curve without a single point still gets its legend entry.
            auto* s = new QLineSeries;
            s->setPen(stift);
            s->setName(U8(FormelAlsText(k.Formel)).toHtmlEscaped() + QStringLiteral(" (keine Werte)"));
            addSeries(s);
            s->attachAxis(achseX_);
            s->attachAxis(achseY_);
        }
    }
    achseY_->setTitleText(U8(yTitel));

    if (!(xhi > xlo)) {
        if (std::isfinite(xlo)) xhi = xlo + 1;
        else xlo = logX_ ? 1 : 0, xhi = logX_ ? 10 : 1;
    }
    if (!std::isfinite(ylo)) ylo = logY_ ? 1 : -1, yhi = logY_ ? 10 : 1;
    if (!logY_) RobusterBereich(tabelle_, logX_, ylo, yhi);
    Umfassen(ylo, yhi, logY_);
    gesamt_ = QRectF(xlo, ylo, xhi - xlo, yhi - ylo);

    connect(achseX_, &QValueAxis::rangeChanged, this, [this] {
        AchseBeschriften(Qt::Horizontal);
        Punkte();
    });
    connect(achseY_, &QValueAxis::rangeChanged, this, [this] { AchseBeschriften(Qt::Vertical); });
    SetSichtbereich(gesamt_);
    connect(this, &QChart::plotAreaChanged, this, [this] {
        AchseBeschriften(Qt::Horizontal);
        AchseBeschriften(Qt::Vertical);
    });
}

double KurvenDiagramm::Hin(double v, bool log) { return log ? std::log10(v) : v; }
double KurvenDiagramm::Her(double v, bool log) { return log ? std::pow(10.0, v) : v; }

QRectF KurvenDiagramm::Sichtbereich() const {
    const double x0 = Her(achseX_->min(), logX_), x1 = Her(achseX_->max(), logX_);
    const double y0 = Her(achseY_->min(), logY_), y1 = Her(achseY_->max(), logY_);
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

void KurvenDiagramm::SetSichtbereich(const QRectF& b) {
    achseX_->setRange(Hin(b.left(), logX_), Hin(b.right(), logX_));
    achseY_->setRange(Hin(b.top(), logY_), Hin(b.bottom(), logY_));
    AchseBeschriften(Qt::Horizontal);
    AchseBeschriften(Qt::Vertical);
    Punkte();
}

void KurvenDiagramm::Punkte() {
    // At most Spalten columns across the visible x range; a column with more points
    // keeps its first, lowest, highest and last (in table order), so the drawn line
    // looks the same at any width up to Spalten pixels and costs no more to draw
    // than Spalten * 4 points, however long the table.
    constexpr int Spalten = 2000;
    const double lo = achseX_->min(), hi = achseX_->max();
    const double breite = hi - lo;
    for (const Stueck& st : stuecke_) {
        const Kurve& k = tabelle_.Kurven[st.kurve];
        auto punkt = [&](std::size_t i) {
            return QPointF(Hin(tabelle_.X[i], logX_), Hin(k.Y[i], logY_));
        };
        // The points in view, with one neighbour on each side so lines leave the view.
        std::size_t a = st.anfang, e = st.ende;
        const bool steigend = tabelle_.X[st.ende - 1] >= tabelle_.X[st.anfang];
        auto innen = [&](std::size_t i) {
            const double x = Hin(tabelle_.X[i], logX_);
            return x >= lo && x <= hi;
        };
        if (steigend) {
            while (a < e && !innen(a) && Hin(tabelle_.X[a], logX_) < lo) ++a;
            while (e > a && !innen(e - 1) && Hin(tabelle_.X[e - 1], logX_) > hi) --e;
        } else {
            while (a < e && !innen(a) && Hin(tabelle_.X[a], logX_) > hi) ++a;
            while (e > a && !innen(e - 1) && Hin(tabelle_.X[e - 1], logX_) < lo) --e;
        }
        if (a > st.anfang) --a;
        if (e < st.ende) ++e;
        QList<QPointF> p;
        if (e - a <= std::size_t(4 * Spalten) || !(breite > 0)) {
            p.reserve(qsizetype(e - a));
            for (std::size_t i = a; i < e; ++i) p.append(punkt(i));
        } else {
            p.reserve(4 * Spalten + 4);
            int spalte = -1;
            std::size_t erster = 0, min = 0, max = 0, letzter = 0;
            auto ausgeben = [&] {
                if (spalte < 0) return;
                std::size_t idx[4] = {erster, min, max, letzter};
                std::sort(idx, idx + 4);
                for (int j = 0; j < 4; ++j)
                    if (j == 0 || idx[j] != idx[j - 1]) p.append(punkt(idx[j]));
            };
            for (std::size_t i = a; i < e; ++i) {
                const double x = Hin(tabelle_.X[i], logX_);
                const int sp = std::clamp(int((x - lo) / breite * Spalten), -1, Spalten);
                if (sp != spalte) {
                    ausgeben();
                    spalte = sp;
                    erster = min = max = letzter = i;
                    continue;
                }
                letzter = i;
                if (k.Y[i] < k.Y[min]) min = i;
                if (k.Y[i] > k.Y[max]) max = i;
            }
            ausgeben();
        }
        st.serie->replace(p);
    }
}

QPointF KurvenDiagramm::WertBei(QPointF position) const {
    const QPointF v = const_cast<KurvenDiagramm*>(this)->mapToValue(position);
    return QPointF(Her(v.x(), logX_), Her(v.y(), logY_));
}

QPointF KurvenDiagramm::PositionVon(QPointF wert) const {
    return const_cast<KurvenDiagramm*>(this)->mapToPosition(QPointF(Hin(wert.x(), logX_), Hin(wert.y(), logY_)));
}

void KurvenDiagramm::AchseBeschriften(Qt::Orientation o) {
    if (beschriften_) return;
    beschriften_ = true;
    QCategoryAxis* k = o == Qt::Horizontal ? achseX_ : achseY_;
    const bool log = o == Qt::Horizontal ? logX_ : logY_;
    QList<double>& ticks = o == Qt::Horizontal ? xTicks_ : yTicks_;
    const double lo = k->min(), hi = k->max();
    ticks.clear();
    for (const QString& l : k->categoriesLabels()) k->remove(l);
    // As many ticks as the plot area has room for: a label needs about 40 points of
    // height and 70 of width (Qt Charts elides labels that are closer).
    const QRectF f = plotArea();
    int ziel = o == Qt::Horizontal ? 8 : 6;
    if (f.width() > 0 && f.height() > 0)
        ziel = o == Qt::Horizontal ? std::clamp(int(f.width() / 70), 3, 10) : std::clamp(int(f.height() / 40), 2, 8);
    // (value, its text) at positions within [lo, hi].
    std::vector<std::pair<double, std::string>> marken;
    const double eps = (hi - lo) * 1e-9;
    if (log) {
        const double a = Her(lo, true), b = Her(hi, true);
        std::vector<double> t = LogTeilstriche(a, b);
        std::vector<double> innen;
        for (double v : t)
            if (Hin(v, true) >= lo - eps && Hin(v, true) <= hi + eps) innen.push_back(v);
        if (innen.size() >= 3) {
            // Too many decades: every k-th.
            const std::size_t jede = (innen.size() + std::size_t(ziel) - 1) / std::size_t(ziel);
            // One form for the whole axis: powers of ten as soon as one label needs one.
            bool hoch = false;
            for (double v : innen) hoch = hoch || v < 1e-4 || v >= 1e9;
            for (std::size_t i = 0; i < innen.size(); i += jede) {
                const double s = std::pow(10.0, std::floor(std::log10(innen[i]) + 1e-9));
                marken.emplace_back(innen[i], TeilstrichText(innen[i], s, hoch));
            }
        } else {
            // Less than a decade in view: nice linear values on the log scale.
            const double schritt = Teilschritt(a, b, ziel);
            for (double v : Teilstriche(a, b, ziel))
                if (v > 0 && Hin(v, true) >= lo - eps && Hin(v, true) <= hi + eps)
                    marken.emplace_back(v, TeilstrichText(v, schritt));
        }
    } else {
        const double schritt = Teilschritt(lo, hi, ziel);
        for (double v : Teilstriche(lo, hi, ziel))
            if (v >= lo - eps && v <= hi + eps) marken.emplace_back(v, TeilstrichText(v, schritt));
    }
    k->setStartValue(lo);
    for (const auto& [v, text] : marken) {
        k->append(U8(text), std::clamp(Hin(v, log), lo, hi));
        ticks.append(v);
    }
    k->setRange(lo, hi);
    beschriften_ = false;
}

int KurvenDiagramm::GezeichnetePunkte() const {
    int n = 0;
    for (const Stueck& st : stuecke_) n += int(st.serie->count());
    return n;
}

QStringList KurvenDiagramm::XBeschriftung() const { return achseX_->categoriesLabels(); }
QStringList KurvenDiagramm::YBeschriftung() const { return achseY_->categoriesLabels(); }

void DiagrammMalen(QChart& chart, QPainter& p, const QRectF& ziel) {
    std::unique_ptr<QGraphicsScene> eigene;
    if (!chart.scene()) {
        eigene = std::make_unique<QGraphicsScene>();
        eigene->addItem(&chart);
    }
    Auslegen(chart);
    chart.scene()->render(&p, ziel, chart.sceneBoundingRect(), Qt::KeepAspectRatio);
    if (eigene) eigene->removeItem(&chart);
}

QByteArray DiagrammDaten(QChart& chart, const QString& format, QSizeF groesse) {
    std::unique_ptr<QGraphicsScene> eigene;
    if (!chart.scene()) {
        eigene = std::make_unique<QGraphicsScene>();
        eigene->addItem(&chart);
    }
    const QSizeF alt = chart.size();
    chart.resize(groesse);
    Auslegen(chart);
    const QRectF quelle(QPointF(0, 0), groesse);
    bool ok = true;
    auto malen = [&](QPaintDevice& geraet, const QRectF& ziel) {
        QPainter p(&geraet);
        if (!p.isActive()) return false;
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        chart.scene()->render(&p, ziel, chart.mapRectToScene(quelle), Qt::KeepAspectRatio);
        return p.end();
    };
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("png")) {
        // Points to pixels at 300 dpi.
        const double f = DiagrammDpi / 72.0;
        QImage bild(QSize(int(std::lround(groesse.width() * f)), int(std::lround(groesse.height() * f))),
                    QImage::Format_ARGB32_Premultiplied);
        bild.fill(Qt::white);
        bild.setDotsPerMeterX(int(std::lround(DiagrammDpi / 0.0254)));
        bild.setDotsPerMeterY(int(std::lround(DiagrammDpi / 0.0254)));
        ok = malen(bild, QRectF(QPointF(0, 0), QSizeF(bild.size()))) && bild.save(&puffer, "PNG");
    } else if (format == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&puffer);
        svg.setSize(groesse.toSize());
        svg.setViewBox(quelle);
        svg.setResolution(72);
        svg.setTitle(QStringLiteral("Kurve"));
        ok = malen(svg, quelle);
    } else if (format == QLatin1String("pdf")) {
        QPdfWriter pdf(&puffer);
        pdf.setResolution(int(DiagrammDpi));
        pdf.setPageSize(QPageSize(groesse, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Kurve"));
        pdf.setCreator(QStringLiteral("KALDORA Formelsammlung"));
        const double f = DiagrammDpi / 72.0;
        ok = malen(pdf, QRectF(0, 0, groesse.width() * f, groesse.height() * f));
    } else {
        ok = false;
    }
    puffer.close();
    chart.resize(alt);
    Auslegen(chart);
    if (eigene) eigene->removeItem(&chart);
    return ok ? daten : QByteArray();
}

bool DateiSchreiben(const QString& datei, const QByteArray& daten, QString& fehler) {
    // Written beside the target and renamed over it: a failed write leaves the old file.
    QSaveFile f(datei);
    if (f.open(QIODevice::WriteOnly) && f.write(daten) == daten.size() && f.commit()) return true;
    fehler = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden").arg(datei);
    return false;
}

bool DiagrammSpeichern(QChart& chart, const QString& datei, QString& fehler, QSizeF groesse) {
    const QString endung = QFileInfo(datei).suffix().toLower();
    if (endung != QLatin1String("png") && endung != QLatin1String("svg") && endung != QLatin1String("pdf")) {
        fehler = QStringLiteral("Unbekanntes Format \"%1\" (png, svg oder pdf)").arg(endung);
        return false;
    }
    const QByteArray daten = DiagrammDaten(chart, endung, groesse);
    if (daten.isEmpty()) {
        fehler = QStringLiteral("Das Diagramm konnte nicht gezeichnet werden");
        return false;
    }
    return DateiSchreiben(datei, daten, fehler);
}

QByteArray TabelleAlsCsv(const Kurventabelle& t) {
    const std::string s = KurvenCsv(t, ';');
    return QByteArray("\xEF\xBB\xBF") + QByteArray(s.data(), qsizetype(s.size()));
}

QString TabelleAlsTsv(const Kurventabelle& t) { return U8(KurvenCsv(t, '\t')); }

} // namespace kd
