#include "core/page/Formelbild.h"

#include <cmath>

#include "core/device/Stile.h"
#include "core/device/VirtPntBox.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"

namespace kd {

DeviceMapping Formelbild::Abbildung(double proEinheit) const {
    DeviceMapping m;
    m.WindowOrg = {Rect.Left, Hoehe + Rect.Bottom};
    m.WindowExt = {Breite, -Hoehe};
    m.ViewportOrg = {0, 0};
    m.ViewportExt = {static_cast<std::int32_t>(std::lround(Breite * proEinheit)),
                     static_cast<std::int32_t>(std::lround(Hoehe * proEinheit))};
    return m;
}

void Formelbild::Zeichnen(Device& dc) const {
    if (!Baum) return;
    TDrawingState& st = DrawingState();
    const bool alt = st.MetafileOutput;
    st.MetafileOutput = true;
    struct Zurueck {
        TDrawingState& st;
        bool alt;
        ~Zurueck() { st.MetafileOutput = alt; }
    } zurueck{st, alt};
    Baum->Draw(dc);
}

std::optional<Formelbild> FormelbildSetzen(Device& dc, const std::string& text) {
    Formelbild b;
    b.Stile = std::make_shared<TFormStyles>();
    b.Baum = Formelsatz(dc, b.Stile).Setzen(text).Baum;
    if (!b.Baum) return std::nullopt;
    // The picture holds the tree with a margin all round: ink of antialiased edges,
    // of a descender or of a stroke's width never meets the picture's edge.
    b.Rect = NormalizeRect(b.Baum->Rect);
    b.Rect.Left -= Formelbild::Rand;
    b.Rect.Right += Formelbild::Rand;
    b.Rect.Top += Formelbild::Rand;
    b.Rect.Bottom -= Formelbild::Rand;
    b.Breite = b.Rect.Right - b.Rect.Left + 1;
    b.Hoehe = b.Rect.Top - b.Rect.Bottom + 1;
    return b;
}

} // namespace kd
