#pragma once
// FormelAufbau: the laid-out element tree of a parsed equation, and the bridge between
// the drawing objects and the elements the notation holds while parsing.
#include <cstdint>
#include <memory>

#include "core/device/Device.h"
#include "core/device/Stile.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/GBasis.h"

namespace kd {

// Hands a drawing object to a term; the term frees it with delete.
Termelement AlsTermelement(std::unique_ptr<TDLine> e);
// Takes a term's element back as a drawing object. Only for elements made through
// AlsTermelement (every ElementFabrik of the typesetting makes them so).
std::unique_ptr<TDLine> AusTermelement(Termelement e);

// Builds the laid-out element tree of the last successful parse of `g` (ElementeErzeugen
// set): one TFormElem per step, measured on `dc` with `stile`, each node given `style`
// and `ownsStyle`. With a single term no node is made. The root (term 1's element) gets
// `tag` and passes to the caller; the equation keeps nothing of it. Call it once per
// parse; none when nothing was parsed.
std::unique_ptr<TDLine> FormelAufbau(TGleichung& g, Device& dc,
                                     const std::shared_ptr<TFormStyles>& stile,
                                     std::shared_ptr<TStyleHandle> style, bool ownsStyle,
                                     std::uint32_t tag);
// The same on the device and with the styles of the Elementfabrik the leaves were made
// by; none when the equation's Fabrik is not an Elementfabrik.
std::unique_ptr<TDLine> FormelAufbau(TGleichung& g, std::shared_ptr<TStyleHandle> style,
                                     bool ownsStyle, std::uint32_t tag);

} // namespace kd
