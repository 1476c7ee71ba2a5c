#pragma once
#include <string>
#include <string_view>

// Windows-1252, the code page of every stored text. The five bytes the code page leaves without
// a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) pair with the control characters of the same
// number, so any byte survives a trip to Unicode and back.
char32_t cp1252ToUnicode(unsigned char byte);
// The byte of a character; '?' for a character the code page does not have.
char unicodeToCp1252(char32_t c);

// Letters compared without regard to case: ASCII and the code page's own letters.
unsigned char cp1252Lower(unsigned char byte);
void appendCp1252Lower(std::string& out, std::string_view text);

// The byte an import's decoder puts for a character the code page does not have, where a '?'
// would pass unnoticed: the code page leaves 0x81 without a character, so no text of it holds one.
inline constexpr char NotInCodePage = '\x81';

// Text as UTF-8 (what the rest of the world reads), and back; an invalid UTF-8 sequence becomes
// '?', a character the code page does not have becomes missing.
void appendUtf8FromCp1252(std::string& out, std::string_view bytes);
bool isValidUtf8(std::string_view text);
std::string cp1252FromUtf8(std::string_view text, char missing = '?');

// Unicode text arrives composed (NFC) or decomposed: a letter followed by combining marks. The
// code page holds only composed letters, so a decoder appends each character through this, which
// joins a mark to the letter before it when the code page has the result. Characters the code
// page does not have become missing.
void appendCp1252Composed(std::string& out, char32_t c, char missing = '?');

// The letter without its accent ('\xE9' e acute -> 'e'), for comparing names as a person would;
// other bytes as they are.
unsigned char cp1252BaseLetter(unsigned char byte);
