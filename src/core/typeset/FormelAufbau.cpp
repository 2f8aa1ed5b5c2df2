// FormelAufbau: the element tree of a parsed formula, one operator node per step, laid
// out bottom-up while it is built.
#include "core/typeset/FormelAufbau.h"

#include <cassert>

#include "core/typeset/Elementfabrik.h"
#include "core/typeset/FormElem.h"

namespace kd {

namespace {

void Loeschen(TDLine* e) noexcept { delete e; }

} // namespace

Termelement AlsTermelement(std::unique_ptr<TDLine> e) {
    return Termelement(e.release(), Elementfreigabe{&Loeschen});
}

std::unique_ptr<TDLine> AusTermelement(Termelement e) {
    assert(!e || e.get_deleter().Freigeben == &Loeschen);
    return std::unique_ptr<TDLine>(e.release());
}

std::unique_ptr<TDLine> FormelAufbau(TGleichung& g, Device& dc,
                                     const std::shared_ptr<TFormStyles>& stile,
                                     std::shared_ptr<TStyleHandle> style, bool ownsStyle,
                                     std::uint32_t tag) {
    if (g.TermAnzahl < 1) return nullptr;
    const bool mehrere = g.FormelAnzahl > 1;
    for (int k = 1; k < g.TermAnzahl; ++k) {
        const Schritt& s = g.Schritte[std::size_t(k)];
        if (s.Links < 1 || s.Links > MaxTerme || s.Rechts < 1 || s.Rechts > MaxTerme) continue;
        Term& links = g.Terme[std::size_t(s.Links)];
        Term& rechts = g.Terme[std::size_t(s.Rechts)];
        std::unique_ptr<TDLine> erstes = AusTermelement(std::move(links.Element));
        std::unique_ptr<TDLine> zweites = AusTermelement(std::move(rechts.Element));
        links.Element = AlsTermelement(std::make_unique<TFormElem>(
            dc, TagFormElem, g.Bedingungsmodus, mehrere, std::move(zweites), std::move(erstes),
            s.Art, ownsStyle, g.EigeneStile, style, stile));
    }
    // With a single term no node takes the style object: it goes at once.
    std::unique_ptr<TDLine> wurzel = AusTermelement(std::move(g.Terme[1].Element));
    if (wurzel) wurzel->Tag = tag;
    return wurzel;
}

std::unique_ptr<TDLine> FormelAufbau(TGleichung& g, std::shared_ptr<TStyleHandle> style,
                                     bool ownsStyle, std::uint32_t tag) {
    auto* fabrik = dynamic_cast<Elementfabrik*>(g.Fabrik);
    if (!fabrik) return nullptr;
    return FormelAufbau(g, fabrik->DC(), fabrik->Stile(), std::move(style), ownsStyle, tag);
}

} // namespace kd
