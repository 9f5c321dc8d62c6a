// Thin owners for GDI+ objects; the GDI and other system handles have theirs in
// base/win32/owners.h, included here for the drawing code.
#pragma once

#include "base/win32/owners.h"
#include "ui/draw/win32/gdiplus_api.h"

#include <memory>

namespace pyr {

namespace detail {
struct ImageDeleter { void operator()(GpImage* p) const { gp::GdipDisposeImage(p); } };
struct GraphicsDeleter { void operator()(GpGraphics* p) const { gp::GdipDeleteGraphics(p); } };
struct PathDeleter { void operator()(GpPath* p) const { gp::GdipDeletePath(p); } };
struct RegionDeleter {
  void operator()(Gdiplus::GpRegion* p) const { gp::GdipDeleteRegion(p); }
};
struct PenDeleter { void operator()(Gdiplus::GpPen* p) const { gp::GdipDeletePen(p); } };
struct BrushDeleter { void operator()(Gdiplus::GpBrush* p) const { gp::GdipDeleteBrush(p); } };
struct FontDeleter { void operator()(Gdiplus::GpFont* p) const { gp::GdipDeleteFont(p); } };
struct FontFamilyDeleter {
  void operator()(Gdiplus::GpFontFamily* p) const { gp::GdipDeleteFontFamily(p); }
};
struct StringFormatDeleter {
  void operator()(Gdiplus::GpStringFormat* p) const { gp::GdipDeleteStringFormat(p); }
};
struct ComReleaser { void operator()(IUnknown* p) const { p->Release(); } };
}  // namespace detail

// GDI+ images are bitmaps everywhere in this program; the owner keeps the bitmap type.
using ImagePtr = std::unique_ptr<GpBitmap, detail::ImageDeleter>;
using GraphicsPtr = std::unique_ptr<GpGraphics, detail::GraphicsDeleter>;
using PathPtr = std::unique_ptr<GpPath, detail::PathDeleter>;
using GpRegionPtr = std::unique_ptr<Gdiplus::GpRegion, detail::RegionDeleter>;
using GpPenPtr = std::unique_ptr<Gdiplus::GpPen, detail::PenDeleter>;
using GpBrushPtr = std::unique_ptr<Gdiplus::GpBrush, detail::BrushDeleter>;
using GpFontPtr = std::unique_ptr<Gdiplus::GpFont, detail::FontDeleter>;
using GpFontFamilyPtr = std::unique_ptr<Gdiplus::GpFontFamily, detail::FontFamilyDeleter>;
using GpStringFormatPtr = std::unique_ptr<Gdiplus::GpStringFormat, detail::StringFormatDeleter>;

}  // namespace pyr
