#pragma once
#include <string>

// The maker's web address and the promotional line printed on the sheets.
// TODO(brand): these must come from the shared brand constants once they exist, so the
// printed sheets and the standings export say the same thing.
inline const std::string PrintMakerWebAddress = "www.corvanta.example";
inline const std::string PrintPromoLine =
    "Free office pool software from Corvanta at www.corvanta.example - Office pools made easy!";
