#include "core/typeset/Elementfabrik.h"

#include "core/typeset/FormelAufbau.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/TextObjekte.h"

namespace kd {

namespace {

std::shared_ptr<TStyleHandle> Schwarz() {
    return std::make_shared<TPenBrushTyp>(PS_SOLID, 0x000000, 0, BS_SOLID, 0x000000, 0);
}

} // namespace

Elementfabrik::Elementfabrik(Device& dc, std::shared_ptr<TFormStyles> stile)
    : Zeichenstil(Schwarz()), dc_(dc), stile_(std::move(stile)) {
    if (!stile_) stile_ = std::make_shared<TFormStyles>();
}

Elementfabrik::Elementfabrik(Device& dc, TFormStyles& stile)
    : Elementfabrik(dc, std::shared_ptr<TFormStyles>(std::shared_ptr<TFormStyles>(), &stile)) {}

Termelement Elementfabrik::TextLeaf(std::uint32_t tag, const std::string& text) {
    return AlsTermelement(std::make_unique<TDText>(dc_, tag, true, true, TA_LEFT | TA_BOTTOM,
                                                   Farbe, 0,
                                                   std::make_shared<TCFont>(stile_->MainFont),
                                                   text, 0, 0));
}

Termelement Elementfabrik::FormelTextLeaf(std::uint32_t tag, const std::string& text,
                                          std::uint32_t farbe) {
    return AlsTermelement(
        std::make_unique<TFormelText>(dc_, tag, false, true, farbe, 0, stile_, text, 0, 0));
}

std::string Elementfabrik::LeafText(const TDLine& leaf) const {
    if (const auto* t = dynamic_cast<const TDText*>(&leaf)) return t->Text;
    return {};
}

Termelement Elementfabrik::SummenZeichen(std::int32_t art, std::uint32_t tag,
                                         const std::string& oben, const std::string& unten) {
    const std::int32_t h = stile_->MainFont.Height();
    switch (art) {
    case ArtSumme:
        return AlsTermelement(std::make_unique<TSigma>(dc_, tag, false, stile_, false,
                                                       Zeichenstil, oben, unten, h, 0, 0));
    case ArtIntegral:
        return AlsTermelement(std::make_unique<TIntegral>(dc_, tag, false, stile_, false,
                                                          Zeichenstil, oben, unten, h, 0, 0));
    case ArtProdukt:
        return AlsTermelement(std::make_unique<TProdukt>(dc_, tag, false, stile_, false,
                                                         Zeichenstil, oben, unten, h, 0, 0));
    default:
        return {};
    }
}

} // namespace kd
