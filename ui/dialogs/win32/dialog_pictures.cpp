#include "ui/dialogs/win32/dialog_pictures.h"

#include <string>

#include "ui/dialogs/progress_rules.h"
#include "ui/dpi_scale.h"
#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"

namespace pyr {

namespace {

GraphicsPtr SmoothDrawing(GpImage* image) {
  GraphicsPtr g = ImageGraphics(image);
  if (g) gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
  return g;
}

}  // namespace

ImagePtr RingImage(int side, int percent, Argb arc, Argb text, Argb background) {
  ImagePtr image = NewImage(side, side, kFormatArgb);
  GraphicsPtr g = SmoothDrawing(image.get());
  if (!g) return nullptr;
  const RingGeometry geo = RingGeometryFor(side, percent);
  Gdiplus::GpSolidFill* rawFill = nullptr;
  Gdiplus::GpPen* rawPen = nullptr;
  if (!GpOk(gp::GdipGraphicsClear(g.get(), 0)) ||
      !GpOk(gp::GdipCreateSolidFill(background, &rawFill)))
    return nullptr;
  GpBrushPtr fill(rawFill);
  if (!GpOk(gp::GdipFillRectangleI(g.get(), fill.get(), 0, 0, side, side)) ||
      !GpOk(gp::GdipCreatePen1(arc, geo.penWidth, Gdiplus::UnitPixel, &rawPen)))
    return nullptr;
  GpPenPtr pen(rawPen);
  if (!GpOk(gp::GdipDrawArc(g.get(), pen.get(), geo.arcBox.x, geo.arcBox.y, geo.arcBox.w,
                            geo.arcBox.h, geo.startAngle, geo.sweep)))
    return nullptr;
  g.reset();
  const std::wstring label = std::to_wstring(percent < 0 ? 0 : (percent > 100 ? 100 : percent)) +
                             L"%";
  GpFontPtr font = PixelFont(geo.textPixels);
  if (!DrawTextCentred(image.get(), label.c_str(), geo.textBox.x, geo.textBox.y, geo.textBox.w,
                       geo.textBox.h, font.get(), text))
    return nullptr;
  return image;
}

ImagePtr TipBackgroundImage(int width, int height, int dpi) {
  ImagePtr image = NewImage(width, height, kFormatPargb);
  GraphicsPtr g = SmoothDrawing(image.get());
  if (!g) return nullptr;
  Gdiplus::GpSolidFill* rawBlack = nullptr;
  Gdiplus::GpSolidFill* rawCorner = nullptr;
  Gdiplus::GpPen* rawPen = nullptr;
  if (!GpOk(gp::GdipCreateSolidFill(0xFF000000, &rawBlack))) return nullptr;
  GpBrushPtr black(rawBlack);
  if (!GpOk(gp::GdipCreateSolidFill(kTipCornerColour, &rawCorner))) return nullptr;
  GpBrushPtr corner(rawCorner);
  const int outline = ScaleForDpi(2, dpi);
  if (!GpOk(gp::GdipCreatePen1(0xFFFFFFFF, static_cast<float>(outline), Gdiplus::UnitPixel,
                               &rawPen)))
    return nullptr;
  GpPenPtr white(rawPen);
  const auto side = static_cast<float>(ScaleForDpi(32, dpi));
  const Gdiplus::PointF triangle[3] = {{0, 0}, {0, side}, {side, 0}};
  const int inset = outline / 2;
  const bool ok =
      GpOk(gp::GdipFillRectangleI(g.get(), black.get(), 0, 0, width, height)) &&
      GpOk(gp::GdipDrawRectangleI(g.get(), white.get(), inset, inset, width - outline,
                                  height - outline)) &&
      GpOk(gp::GdipFillPolygon(g.get(), corner.get(), triangle, 3, Gdiplus::FillModeAlternate));
  return ok ? std::move(image) : nullptr;
}

}  // namespace pyr
