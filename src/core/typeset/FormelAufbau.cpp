// TGleichung::FormelAufbau: the element tree of a parsed formula, one operator node per
// step, laid out bottom-up while it is built.
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Gleichung.h"

namespace kd {

std::unique_ptr<TDLine> TGleichung::FormelAufbau(Device& dc,
                                                 const std::shared_ptr<TFormStyles>& stile,
                                                 std::shared_ptr<TStyleHandle> style,
                                                 bool ownsStyle, std::uint32_t tag) {
    if (TermAnzahl < 1) return nullptr;
    const bool mehrere = FormelAnzahl > 1;
    for (int k = 1; k < TermAnzahl; ++k) {
        const Schritt& s = Schritte[std::size_t(k)];
        if (s.Links < 1 || s.Links > MaxTerme || s.Rechts < 1 || s.Rechts > MaxTerme) continue;
        Term& links = Terme[std::size_t(s.Links)];
        Term& rechts = Terme[std::size_t(s.Rechts)];
        std::unique_ptr<TDLine> erstes = std::move(links.Element);
        std::unique_ptr<TDLine> zweites = std::move(rechts.Element);
        links.Element = std::make_unique<TFormElem>(dc, TagFormElem, Bedingungsmodus, mehrere,
                                                    std::move(zweites), std::move(erstes), s.Art,
                                                    ownsStyle, EigeneStile, style, stile);
    }
    // With a single term no node takes the style object: it goes at once.
    std::unique_ptr<TDLine> wurzel = std::move(Terme[1].Element);
    if (wurzel) wurzel->Tag = tag;
    return wurzel;
}

std::unique_ptr<TDLine> TGleichung::FormelAufbau(std::shared_ptr<TStyleHandle> style,
                                                 bool ownsStyle, std::uint32_t tag) {
    auto* fabrik = dynamic_cast<Elementfabrik*>(Fabrik);
    if (!fabrik) return nullptr;
    return FormelAufbau(fabrik->DC(), fabrik->Stile(), std::move(style), ownsStyle, tag);
}

} // namespace kd
