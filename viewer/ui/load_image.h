#pragma once
// Putting a located page into a viewer's imaging control: Loadimage for patents and
// assignments (the page App::doc.Page describes), the trademark loader for Tovrin (a page
// of the trademark image file), with the captions each writes.
#include <optional>
#include <string>

#include "viewer/imaging/page_image.h"
#include "viewer/page_prefetch.h"

class QWidget;

namespace velk {

struct App;
struct PageFileInfo;
class ImagingControl;

inline constexpr const char* kLoadimageErrorText = "Error at function Loadimage";

// Loads the page App::doc.Page describes into `control` at the zoom remembered for viewer
// viewNo ("1" or "2"), or fitted with the full-view flag, shown from its top; sets
// FilePages for TIFF and ".BIN" files, the view captions and window's title. `ready` is
// the same page decoded already. Any failure shows "Error at function Loadimage" and
// gives false; the page shown before stays, and so do the captions.
bool Loadimage(App& app, QWidget& window, ImagingControl& control, const std::string& viewNo,
               std::optional<PrefetchedPage> ready = std::nullopt);

// The Tovrin loader: page `page` of the trademark image file (TrademarkImagePath) into
// viewer viewNo's control. Caption: the number as seven digits, "  - View n - Page ",
// page "/" pages; viewer 1's window adds the volume, viewer 2's does not. Sets
// CurPageCount from the file. Failure as Loadimage.
bool LoadTrademark(App& app, QWidget& window, ImagingControl& control, int viewNo, int page,
                   std::optional<PrefetchedPage> ready = std::nullopt);

// "1234567  - View 1 - Page 2/3" for the current trademark document.
std::string TrademarkCaption(const App& app, int viewNo, int page, int pageCount);

}  // namespace velk
