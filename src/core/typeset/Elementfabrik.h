#pragma once
// Elementfabrik: the leaves and sum signs the parser makes while reading a formula
// with ElementeErzeugen set. Texts are measured on the device handed in, which must
// stay valid while the equation's elements are made and laid out.
//
//   TextLeaf       TDText in a copy of the main font (owned), bottom-left at (0, 0)
//   FormelTextLeaf TFormelText sharing the formula styles, at (0, 0)
//   SummenZeichen  TSigma (34, tag 24), TIntegral (35, tag 24), TProdukt (36, tag 25)
//                  with the upper and lower limit texts, at (0, 0), one main height high
#include <cstdint>
#include <memory>
#include <string>

#include "core/device/Device.h"
#include "core/device/Stile.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/GBasis.h"

namespace kd {

class Elementfabrik final : public ElementFabrik {
public:
    Elementfabrik(Device& dc, std::shared_ptr<TFormStyles> stile);
    // Styles owned elsewhere; they must outlive the elements made.
    Elementfabrik(Device& dc, TFormStyles& stile);

    Termelement TextLeaf(std::uint32_t tag, const std::string& text) override;
    Termelement FormelTextLeaf(std::uint32_t tag, const std::string& text,
                               std::uint32_t farbe) override;
    std::string LeafText(const TDLine& leaf) const override;
    // Kinds other than 34, 35 and 36 make nothing.
    Termelement SummenZeichen(std::int32_t art, std::uint32_t tag, const std::string& oben,
                              const std::string& unten) override;

    Device& DC() const { return dc_; }
    const std::shared_ptr<TFormStyles>& Stile() const { return stile_; }

    // Colour of plain text leaves (numbers); the formula colour of the equation.
    TColor Farbe = 0;
    // Pen and brush of the signs until the layout gives them the node's style:
    // black outline, black fill.
    std::shared_ptr<TStyleHandle> Zeichenstil;

private:
    Device& dc_;
    std::shared_ptr<TFormStyles> stile_;
};

} // namespace kd
