#pragma once
// The chosen pages of the located document as one file: a PDF or a multi-page G4 TIFF.
// Pages stored as one G4 block go in as they are; any other page is coded as G4 once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/int16.h"
#include "viewer/imaging/g4_files.h"

namespace velk {

struct App;

// The stored G4 data of the page App::doc.Page records (GetPage has filled it), when the
// file holds it as one upright G4 block; nullopt otherwise. Throws RuntimeError.
std::optional<G4Strip> StoredG4Strip(const App& app, const std::string& path, Int16 page);
// The stored data, or the upright page decoded and coded as G4. Throws RuntimeError.
G4Strip RecordedG4Strip(const App& app, const std::string& path, Int16 page);

enum class DocumentFileFormat { Pdf, Tiff };
// ".pdf", ".tif": the file of a document is its number and this.
const char* DocumentFileExtension(DocumentFileFormat format);
std::vector<std::uint8_t> DocumentFileBytes(const std::vector<G4Strip>& pages, DocumentFileFormat format);

}  // namespace velk
