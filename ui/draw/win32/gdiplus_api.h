// The GDI+ flat API in one include: the C++ headers expect min/max in scope, which NOMINMAX hides.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

namespace pyr {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpPath;
using Gdiplus::GpStatus;

constexpr Gdiplus::PixelFormat kFormatArgb = 0x26200A;   // images that are drawn on
constexpr Gdiplus::PixelFormat kFormatPargb = 0xE200B;   // backgrounds and icons

inline bool GpOk(GpStatus s) { return s == Gdiplus::Ok; }

}  // namespace pyr
