#include "core/typeset/Formelsatz.h"

#include "core/typeset/FormelAufbau.h"
#include "core/typeset/FormElem.h"

namespace kd {

namespace {

TGleichung::Optionen Satzoptionen(TFormStyles* stile, ElementFabrik* fabrik, bool bedingung) {
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    o.Bedingungsmodus = bedingung;
    o.ElementeErzeugen = true;
    o.Stile = stile;
    o.Fabrik = fabrik;
    return o;
}

} // namespace

Formelsatz::Formelsatz(Device& dc, std::shared_ptr<TFormStyles> stile, bool bedingung)
    : dc_(dc),
      stile_(stile ? std::move(stile) : std::make_shared<TFormStyles>()),
      fabrik_(dc, stile_),
      gleichung_(Satzoptionen(stile_.get(), &fabrik_, bedingung)) {}

Formelsatz::Ergebnis Formelsatz::Setzen(const std::string& text, const std::string& xVariable,
                                        const std::string& zVariable) {
    Ergebnis e;
    int endePos = 0;
    e.Code = gleichung_.FormelLesen(text, xVariable, zVariable, 0, e.FehlerPos, endePos);
    if (e.Code != 0) return e;
    e.Baum = FormelAufbau(
        gleichung_, dc_, stile_, std::make_shared<TPenBrushTyp>(PS_SOLID, 0, 0, BS_SOLID, 0, 0), true,
        TagFormElem);
    return e;
}

} // namespace kd
