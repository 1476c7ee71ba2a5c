#pragma once
// The maker's name, address and promotional texts, one set for every page and sheet that carries
// them (the exported standings page, the text exports, the printed sheets). Plain ASCII, so they
// need no escaping in HTML attributes or text.

namespace brand {

inline constexpr const char* ProductName = "the Hoopfall";
inline constexpr const char* MakerAddress = "https://www.corvanta.example/";
inline constexpr const char* SponsorNotice = "Made for office pools by Corvanta.";

// The promotional line under exports and on printed sheets.
inline constexpr const char* Slogan = "Run your office pool the easy way with the Hoopfall from Corvanta.";
inline constexpr const char* VisitUsPrefix = "Visit us on the web at ";
// The one-line notice that opens and closes every printed sheet: the maker's site and its slogan.
inline constexpr const char* PromoLine = "Office pools made easy: the Hoopfall from Corvanta, https://www.corvanta.example/";

// The keywords and description of the exported standings page.
inline constexpr const char* Keywords =
    "office pool, basketball pool, tournament bracket, pool manager, standings, the Hoopfall, Corvanta";
inline constexpr const char* Description =
    "Office pool standings produced by the Hoopfall, the tournament office pool manager from Corvanta.";

// The help page that ships beside the program, and the places in it the page's options bar
// points to.
inline constexpr const char* HelpPage = "help.html";
struct HelpLink {
    const char* anchor;
    const char* text;
};
inline constexpr HelpLink OptionLinks[4] = {
    {"help.html#standings", "Reading the Standings"},
    {"help.html#scoring", "How Scoring Works"},
    {"help.html#sheets", "Printing Pool Sheets"},
    {"help.html#faq", "Frequently Asked Questions"},
};

}  // namespace brand
