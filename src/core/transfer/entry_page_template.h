#pragma once

// The entry page's markup, style and script (entry_page.html, compiled in by the build), with
// the marker EntryPageDataMarker where the pool's data go.
extern const char EntryPageTemplate[];
inline constexpr const char* EntryPageDataMarker = "/*PAGE-DATA*/null";
