#pragma once
#include <string>

#include "core/pool/brand.h"

// The maker's web address and the promotional line printed on the sheets, from the constants the
// standings export uses too.
inline const std::string PrintMakerWebAddress = brand::MakerAddress;
inline const std::string PrintPromoLine = brand::PromoLine;
