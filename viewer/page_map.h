#pragma once
// The page map of a patent document: the first page of each section (front page,
// abstract, drawings, description, claims) and, in "META" maps, six page ranges.
// It is a text file beside the image file (".a1a", or the image name with "a"
// appended) or text embedded at bytes 258-292 of a ".tif" file.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/int16.h"
#include "platform/current_document.h"

namespace velk {

struct App;

inline constexpr std::uint64_t kEmbeddedMapOffset = 258;
inline constexpr std::size_t kEmbeddedMapBytes = 35;
inline constexpr std::size_t kMetaBlockLimit = 4096;  // bytes of a "META" block read at most
inline constexpr std::size_t kTextMapLimit = 4096;    // bytes of a text map's first line read at most

// A page number of a map: blanks skipped, then decimal digits up to the first other
// character. No digits, or a value outside 1..32767, is 0 (no such section).
Int16 MapPageNumber(std::string_view text);

// Reads the map of the document last located (LastOpenIdx.ImagePath in VolumeDir)
// into SectionFirstPage, MapMarker and SectionPageRange, after clearing them, so a
// document without a map never shows another's sections. False, silently, when no
// map could be read.
bool ParsePage(App& app);

// The first page of section s in a document of pageCount pages; 0 (absent) when the
// map names none or a page past the document's end.
Int16 SectionStart(const CurrentDocument& doc, Section s, Int16 pageCount);

}  // namespace velk
