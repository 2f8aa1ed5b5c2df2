// The main window's formula page: selecting a formula and scrolling it into view, the
// page drawn into its image and copied to the screen, the highlight frame inverted on
// that image, and the test whether the Symbol font has the bracket pieces.
#include "gui/app/DlgFormelSamml.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/device/Stile.h"
#include "core/device/TextSys.h"
#include "core/typeset/Formelzeichen.h"
#include "gui/app/FormelSeite.h"
#include "gui/platform/QtDevice.h"
#include "gui/platform/RichText.h"

namespace kd {

void TDlgFormelSamml::SetFormel(int index) {
    RichEdit1->clear();
    if (sammlung_.FormelListe.Empty()) {
        sammlung_.SetFormel(index);
        return;
    }
    SeiteBereit();
    if (sammlung_.AktFormel > -1) InvertFormel(sammlung_.AktFormel);
    sammlung_.SetFormel(index);
    const int akt = sammlung_.AktFormel;
    if (akt < 0) return;
    InvertFormel(akt);
    FormeltextZuRichText(sammlung_.FormelListe[akt]->FormelText, RichEdit1, 9);

    FormelZeigen();
}

void TDlgFormelSamml::FormelZeigen() {
    // The whole frame of the selected formula is scrolled into the view (its top when it
    // is taller than the view); the first formula shows the top of the page.
    const int akt = sammlung_.AktFormel;
    if (akt < 0 || akt >= Seite.Anzahl) return;
    QScrollBar* senkrecht = CScrollBox1->verticalScrollBar();
    if (akt == 0) {
        senkrecht->setValue(0);
        return;
    }
    SeitenhoeheAnpassen();
    PaintBox1->SetScale();
    // The frame and a little of the page below it (the separator under the last one).
    TRect rahmen = Seite.Markierungsrahmen(akt);
    rahmen.Bottom = std::min(rahmen.Bottom, Seite.FormelPos[std::size_t(akt)].Unterkante - 50);
    const QRect r = PaintBox1->PixelRect(rahmen).normalized();
    const int oben = r.top() - 2, unten = r.bottom() + 3;
    const int sicht = CScrollBox1->viewport()->height();
    int p = senkrecht->value();
    if (unten > p + sicht) p = unten - sicht;
    if (oben < p || unten - oben > sicht) p = oben;
    senkrecht->setValue(std::clamp(p, 0, senkrecht->maximum()));
}

void TDlgFormelSamml::ShowFormel() {
    puffer_.Verwerfen();
    if (PaintBox1) PaintBox1->update();
}

void TDlgFormelSamml::SeiteBereit() {
    if (!LayoutGueltig || !puffer_.Gueltig()) SeiteZeichnen();
}

namespace {

QPoint Scrollposition(const gui::TCScrollBox* box) {
    return {box->horizontalScrollBar()->value(), box->verticalScrollBar()->value()};
}

} // namespace

void TDlgFormelSamml::SeiteZeichnen() {
    if (MalSperre) return;  // a paint while painting is dropped
    MalSperre = true;
    if (!AnzeigeStyles) AnzeigeStyles = std::make_shared<TFormStyles>();
    PaintBox1->SetScale();
    const QSize view = CScrollBox1->viewport()->size();
    QImage& bild = puffer_.Neu(Scrollposition(CScrollBox1), view, PaintBox1->devicePixelRatioF(),
                               PaintBox1->Leinwand().Mapping());
    {
        QPainter p(&bild);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        QtDevice dc(&p);
        dc.SetMapping(puffer_.Abbildung());
        // Text is measured on the page's canvas, as everything drawn for the page.
        DrawingState().CurrentPaintBox = PaintBox1;
        if (!LayoutGueltig) Seite.Ungueltig();
        const double z = PaintBox1->ZoomFactor;
        const std::int32_t links = PaintBox1->WindowOrgX, oben = PaintBox1->WindowOrgY;
        Seite.Ausschnitt = TRect{links - 1, oben + 1,
                                 links + std::int32_t(std::ceil(std::max(view.width(), 1) / z)) + 1,
                                 oben - std::int32_t(std::ceil(std::max(view.height(), 1) / z)) - 1};
        std::vector<std::string> texte;
        texte.reserve(std::size_t(sammlung_.FormelListe.Count()));
        for (const auto& f : sammlung_.FormelListe) texte.push_back(f->FormelText);
        Seite.Zeichnen(dc, texte, AnzeigeStyles, Bilder.get());
        LayoutGueltig = true;
        ++SeitenZeichnungen;
        const int akt = sammlung_.AktFormel;
        if (akt > -1 && akt < Seite.Anzahl) Rahmen(dc, akt);
        dc.End();
    }
    MalSperre = false;
    SeitenhoeheAnpassen();
    CheckSonderzeichen();
}

void TDlgFormelSamml::SeitenhoeheAnpassen() {
    // The scroll range reaches below the last formula, however long the library is.
    const double z = PaintBox1->ZoomFactor > 0 ? PaintBox1->ZoomFactor : SeitenZoom;
    const int noetig = int(std::ceil((SeitenHoehe - double(Seite.Ende) + 100) * z));
    const int soll = std::max(2 * PaintBox1->PageHeight, noetig);
    if (PaintBox1->height() == soll) return;
    if (imPaint_) {
        // Not while the paint box paints itself.
        QTimer::singleShot(0, PaintBox1, [pb = PaintBox1, soll] { pb->resize(pb->width(), soll); });
    } else {
        PaintBox1->resize(PaintBox1->width(), soll);
    }
}

void TDlgFormelSamml::PaintBox1Paint(Device& dc, const TRect& dirty) {
    (void)dirty;
    imPaint_ = true;
    if (!puffer_.Passt(Scrollposition(CScrollBox1), CScrollBox1->viewport()->size(),
                       PaintBox1->devicePixelRatioF()))
        SeiteZeichnen();
    imPaint_ = false;
    QPainter* p = static_cast<QtDevice&>(dc).Painter();
    if (!p || puffer_.Bild().isNull()) return;
    p->save();
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(puffer_.Position(), puffer_.Bild());
    p->restore();
}

void TDlgFormelSamml::Rahmen(Device& dc, int i) const {
    const TRect r = Seite.Markierungsrahmen(i);
    const LogPen alt = dc.SelectPen(LogPen{PS_DOT, 0, 0, RGB(0, 0, 128)});
    const int rop = dc.SetROP2(R2_NOTXORPEN);
    const TPoint punkte[5] = {{r.Left, r.Bottom}, {r.Right, r.Bottom}, {r.Right, r.Top},
                              {r.Left, r.Top}, {r.Left, r.Bottom}};
    dc.Polyline(punkte, 5);
    dc.SetROP2(rop);
    dc.SelectPen(alt);
}

void TDlgFormelSamml::InvertFormel(int index) {
    if (index < 0 || index >= Seite.Anzahl) return;
    if (!puffer_.Passt(Scrollposition(CScrollBox1), CScrollBox1->viewport()->size(),
                       PaintBox1->devicePixelRatioF())) {
        // The image shows another part of the page: it is drawn again, frame included.
        ShowFormel();
        return;
    }
    {
        QPainter p(&puffer_.Bild());
        QtDevice dc(&p);
        dc.SetMapping(puffer_.Abbildung());
        Rahmen(dc, index);
        dc.End();
    }
    PaintBox1->SetScale();
    PaintBox1->update(Rahmenregion(*PaintBox1, Seite.Markierungsrahmen(index)));
}

int TDlgFormelSamml::SymbolPixelZaehlen() {
    // The test row crosses the stem of the upper bracket piece once; a font without
    // the piece draws nothing there or a box with two sides.
    QImage bild(24, 24, QImage::Format_RGB32);
    bild.fill(Qt::white);
    {
        QPainter p(&bild);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        QtDevice dc(&p);
        TDrawingState& st = DrawingState();
        TVirtPntBox* alt = st.CurrentPaintBox;
        st.CurrentPaintBox = nullptr;
        dc.SelectFont(CreateNamedFont("Symbol", -13, 400));  // 10 points on a 96 dpi screen
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.TextOut(2, 0, "\xEC");
        st.CurrentPaintBox = alt;
        dc.End();
    }
    int schwarz = 0;
    for (int x = 0; x <= 14; ++x)
        if (qGray(bild.pixel(x, 8)) < 128) ++schwarz;
    return schwarz;
}

void TDlgFormelSamml::CheckSonderzeichen() {
    if (SymbolTestGemacht) return;
    SymbolTestGemacht = true;
    ++SymbolTests;
    SymbolKlammer() = SymbolPixelZaehlen() == 1;
    // Without the pieces the brackets are drawn as polygons: the page once more.
    if (!SymbolKlammer()) ShowFormel();
}

} // namespace kd
