#include "KDGData.h"

#include "core/constants/Konstanten.h"

namespace kd {

TKDGData::TKDGData() { Konstanten().BasisSetzen(); }

} // namespace kd
