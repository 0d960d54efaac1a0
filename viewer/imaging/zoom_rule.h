#pragma once
// One zoom rule for every way a viewer zooms: buttons, keys, wheel, area, fit and a typed
// level all end in ViewZoom. The logical zoom (1.0 = 100 %) never passes 1600 %; a fit may
// go below the 25 % where the zoom-out steps stop. Rendering counts device pixels: a
// screen with more device pixels per logical pixel than kMaxDeviceRatio is rendered at
// that ratio and scaled up, so the render limit holds at every screen scale.
#include <algorithm>
#include <cmath>

namespace velk {

inline constexpr double kMinViewZoom = 0.01, kMaxViewZoom = 16.0;
inline constexpr double kMaxDeviceRatio = 4.0;
// Device pixels per page pixel that a render accepts.
inline constexpr double kMaxRenderZoom = kMaxViewZoom * kMaxDeviceRatio;

// The logical zoom a request for `zoom` ends at.
inline double ViewZoom(double zoom) {
    if (!std::isfinite(zoom)) return zoom > 0 ? kMaxViewZoom : 1.0;
    return std::clamp(zoom, kMinViewZoom, kMaxViewZoom);
}

// The device pixel ratio tiles are rendered at on a screen of ratio `ratio`.
inline double RenderRatio(double ratio) {
    if (!std::isfinite(ratio) || ratio <= 0) return 1.0;
    return std::clamp(ratio, 0.25, kMaxDeviceRatio);
}

}  // namespace velk
