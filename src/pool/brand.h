#pragma once

// The program's name, its maker and the lines it prints about them, in one place.
namespace brand {
inline constexpr const char* ProductName = "the Hoopfall";
inline constexpr const char* MakerName = "Corvanta";
inline constexpr const char* SponsorNotice = "Made for office pools by Corvanta.";
}  // namespace brand
