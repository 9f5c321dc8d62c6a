#include "ui/draw/win32/shapes.h"

#include "ui/draw/win32/images.h"

namespace pyr {

namespace {

GraphicsPtr SmoothGraphics(GpImage* image) {
  GraphicsPtr g = ImageGraphics(image);
  if (g) {
    gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeHighQuality);
    gp::GdipSetPixelOffsetMode(g.get(), Gdiplus::PixelOffsetModeHalf);
  }
  return g;
}

PathPtr NewPath() {
  GpPath* raw = nullptr;
  if (!GpOk(gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw))) return nullptr;
  return PathPtr(raw);
}

GpBrushPtr SolidBrush(Argb argb) {
  Gdiplus::GpSolidFill* raw = nullptr;
  if (!GpOk(gp::GdipCreateSolidFill(argb, &raw))) return nullptr;
  return GpBrushPtr(raw);
}

GpPenPtr NewPen(Argb argb, float width) {
  Gdiplus::GpPen* raw = nullptr;
  if (!GpOk(gp::GdipCreatePen1(argb, width, Gdiplus::UnitPixel, &raw))) return nullptr;
  return GpPenPtr(raw);
}

bool FillRect(GpGraphics* g, Argb argb, float x, float y, float w, float h) {
  GpBrushPtr brush = SolidBrush(argb);
  return brush && GpOk(gp::GdipFillRectangle(g, brush.get(), x, y, w, h));
}

}  // namespace

bool RoundedRectPath(GpPath* path, float corner, float x, float y, float w, float h) {
  if (!path) return false;
  if (corner < 1) return GpOk(gp::GdipAddPathRectangle(path, x, y, w, h));
  const float c = corner, r = corner / 2;
  bool ok = GpOk(gp::GdipAddPathLine(path, x + r, y, x + w - r, y)) &&
            GpOk(gp::GdipAddPathArc(path, x + w - c, y, c, c, 270, 90)) &&
            GpOk(gp::GdipAddPathLine(path, x + w, y + r, x + w, y + h - r)) &&
            GpOk(gp::GdipAddPathArc(path, x + w - c, y + h - c, c, c, 0, 90)) &&
            GpOk(gp::GdipAddPathLine(path, x + w - r, y + h, x + r, y + h)) &&
            GpOk(gp::GdipAddPathArc(path, x, y + h - c, c, c, 90, 90)) &&
            GpOk(gp::GdipAddPathLine(path, x, y + h - r, x, y + r)) &&
            GpOk(gp::GdipAddPathArc(path, x, y, c, c, 180, 90));
  return ok && GpOk(gp::GdipClosePathFigure(path));
}

bool FillRoundedRect(GpImage* image, float x, float y, float w, float h, Argb argb,
                     float corner) {
  GraphicsPtr g = SmoothGraphics(image);
  PathPtr path = NewPath();
  GpBrushPtr brush = SolidBrush(argb);
  GpPenPtr pen = NewPen(argb, 1);
  if (!g || !path || !brush || !pen || !RoundedRectPath(path.get(), corner, x, y, w, h))
    return false;
  return GpOk(gp::GdipFillPath(g.get(), brush.get(), path.get())) &&
         GpOk(gp::GdipDrawPath(g.get(), pen.get(), path.get()));
}

bool SetRoundedRegion(HWND hwnd, int width, int height, int corner) {
  return SetRoundedRegionAt(hwnd, 0, 0, width, height, corner);
}

bool SetRoundedRegionAt(HWND hwnd, int x, int y, int width, int height, int corner) {
  PathPtr path = NewPath();
  if (!path || !RoundedRectPath(path.get(), static_cast<float>(corner), static_cast<float>(x),
                                static_cast<float>(y), static_cast<float>(width),
                                static_cast<float>(height)))
    return false;
  Gdiplus::GpRegion* rawRegion = nullptr;
  if (!GpOk(gp::GdipCreateRegionPath(path.get(), &rawRegion))) return false;
  GpRegionPtr region(rawRegion);
  // The conversion needs a surface; a small image serves and keeps the window's DC untouched.
  ImagePtr surface = NewImage(1, 1);
  GraphicsPtr g = ImageGraphics(surface.get());
  if (!g) return false;
  gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
  HRGN hrgn = nullptr;
  if (!GpOk(gp::GdipGetRegionHRgn(region.get(), g.get(), &hrgn)) || !hrgn) return false;
  if (!SetWindowRgn(hwnd, hrgn, TRUE)) {
    DeleteObject(hrgn);
    return false;
  }
  return true;  // the window owns the region now
}

namespace {

// The face GDI's font mapper really uses for "Arial": on a system without Arial (some
// compatibility layers) GDI+ would otherwise find no family at all.
GpFontFamilyPtr ArialOrItsStandIn() {
  Gdiplus::GpFontFamily* raw = nullptr;
  if (GpOk(gp::GdipCreateFontFamilyFromName(L"Arial", nullptr, &raw))) return GpFontFamilyPtr(raw);
  FontHandle gdiFont(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                 OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, L"Arial"));
  MemoryDc dc;
  wchar_t face[LF_FACESIZE] = {};
  if (gdiFont && dc.Get()) {
    SelectedObject selected(dc.Get(), gdiFont.Get());
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
  }
  if (face[0] && GpOk(gp::GdipCreateFontFamilyFromName(face, nullptr, &raw)))
    return GpFontFamilyPtr(raw);
  if (GpOk(gp::GdipGetGenericFontFamilySansSerif(&raw))) return GpFontFamilyPtr(raw);
  return nullptr;
}

}  // namespace

GpFontPtr PixelFont(float pixels, int style) {
  GpFontFamilyPtr family = ArialOrItsStandIn();
  Gdiplus::GpFont* raw = nullptr;
  if (!family ||
      !GpOk(gp::GdipCreateFont(family.get(), pixels, style, Gdiplus::UnitPixel, &raw)))
    return nullptr;
  return GpFontPtr(raw);
}

bool DrawTextCentred(GpImage* image, const wchar_t* text, float x, float y, float w, float h,
                     Gdiplus::GpFont* font, Argb argb) {
  GpFontPtr ownFont;
  if (!font) {
    ownFont = PixelFont(h / 3);
    font = ownFont.get();
  }
  GraphicsPtr g = SmoothGraphics(image);
  GpBrushPtr brush = SolidBrush(argb);
  Gdiplus::GpStringFormat* rawFormat = nullptr;
  if (!g || !brush || !font || !text ||
      !GpOk(gp::GdipCreateStringFormat(0, LANG_NEUTRAL, &rawFormat)))
    return false;
  GpStringFormatPtr format(rawFormat);
  gp::GdipSetStringFormatAlign(format.get(), Gdiplus::StringAlignmentCenter);
  gp::GdipSetStringFormatLineAlign(format.get(), Gdiplus::StringAlignmentCenter);
  gp::GdipSetTextRenderingHint(g.get(), Gdiplus::TextRenderingHintAntiAlias);
  Gdiplus::RectF box(x, y, w, h);
  return GpOk(gp::GdipDrawString(g.get(), text, -1, font, &box, format.get(), brush.get()));
}

ImagePtr WindowBackgroundImage(int width, int height, Argb outer, Argb inner, Argb footer,
                               int border, int band) {
  ImagePtr image = NewImage(width, height, kFormatPargb);
  if (!image) return nullptr;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float b = static_cast<float>(border);
  if (!FillRoundedRect(image.get(), 0, 0, w, h, outer, b) ||
      !FillRoundedRect(image.get(), b, b, w - 2 * b, h - 2 * b, inner, b))
    return nullptr;
  if (footer != inner) {
    GraphicsPtr g = ImageGraphics(image.get());
    const float bandHeight = static_cast<float>(band);
    if (!g || !FillRect(g.get(), footer, b, h - b - bandHeight, w - 2 * b, bandHeight))
      return nullptr;
  }
  return image;
}

ImagePtr CheckBoxPicture(int size, int style, Argb argb) {
  constexpr int kDrawn = 40;  // drawn large, then scaled down: smooth at any list row height
  ImagePtr big = NewImage(kDrawn, kDrawn, kFormatArgb);
  GraphicsPtr g = SmoothGraphics(big.get());
  if (!g) return nullptr;
  const float corner = (style & kCheckBoxRounded) ? 8.0f : 0.0f;
  PathPtr frame = NewPath();
  GpBrushPtr white = SolidBrush(0xFFFFFFFF);
  GpPenPtr black = NewPen(0xFF000000, 2);
  if (!frame || !white || !black || !RoundedRectPath(frame.get(), corner, 2, 2, 36, 36) ||
      !GpOk(gp::GdipFillPath(g.get(), white.get(), frame.get())) ||
      !GpOk(gp::GdipDrawPath(g.get(), black.get(), frame.get())))
    return nullptr;
  GpBrushPtr mark = SolidBrush(argb);
  if (!mark) return nullptr;
  if (style & kCheckBoxTicked) {
    static const Gdiplus::PointF kTick[7] = {{7, 21}, {12, 16}, {17, 22}, {29, 8},
                                             {34, 13}, {17, 32}, {7, 21}};
    if (!GpOk(gp::GdipFillPolygon(g.get(), mark.get(), kTick, 7, Gdiplus::FillModeAlternate)))
      return nullptr;
  } else if (style & kCheckBoxFilled) {
    if (!GpOk(gp::GdipFillRectangle(g.get(), mark.get(), 6, 6, 28, 28))) return nullptr;
  }
  g.reset();
  if (size == kDrawn) return big;
  return ScaledCopy(big.get(), size, size);
}

BitmapHandle CheckBoxImage(int size, int style, Argb argb) {
  ImagePtr picture = CheckBoxPicture(size, style, argb);
  return ImageToBitmap(picture.get());
}

}  // namespace pyr
