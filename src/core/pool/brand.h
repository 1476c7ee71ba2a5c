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
inline constexpr const char* PromoLine =
    "Office pools made easy: the Hoopfall from Corvanta, https://www.corvanta.example/";

// The keywords and description of the exported standings page.
inline constexpr const char* Keywords =
    "office pool, basketball pool, tournament bracket, pool manager, standings, the Hoopfall, Corvanta";
inline constexpr const char* Description =
    "Office pool standings produced by the Hoopfall, the tournament office pool manager from Corvanta.";

// The help page that ships beside the program.
inline constexpr const char* HelpPage = "help.html";

// The options bar of the exported standings page. The page is mailed and posted far from the
// program, so its links are full addresses on the maker's site, where the help page is too.
struct WebLink {
    const char* address;
    const char* text;
};
inline constexpr WebLink OptionLinks[4] = {
    {"https://www.corvanta.example/help.html#standings", "Reading the Standings"},
    {"https://www.corvanta.example/help.html#scoring", "How Scoring Works"},
    {"https://www.corvanta.example/help.html#sheets", "Printing Pool Sheets"},
    {"https://www.corvanta.example/help.html#faq", "Frequently Asked Questions"},
};

}  // namespace brand
