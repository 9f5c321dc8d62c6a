#include "ui/draw/win32/ui_window_background.h"

#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"
#include "ui/draw/win32/window_background.h"

namespace pyr {

bool SetBackgroundImage(UiWindow& window, GpBitmap* image, int width, int height) {
  if (!window.Handle() || !image) return false;
  if (width <= 0 || height <= 0) {
    RECT client{};
    GetClientRect(window.Handle(), &client);
    width = client.right;
    height = client.bottom;
  }
  BitmapHandle bitmap = BackgroundBitmap(image, width, height);
  if (!bitmap) return false;
  window.SetBackgroundBitmap(bitmap.Release());
  return true;
}

bool PaintWindowBackground(UiWindow& window, int width, int height, Argb outer, Argb inner,
                           Argb footer, int corner, int border) {
  const int w = window.Scale(width), h = window.Scale(height);
  ImagePtr image = WindowBackgroundImage(w, h, outer, inner, footer, window.Scale(border),
                                         window.Scale(kFooterBandHeight));
  if (!image || !SetBackgroundImage(window, image.get(), w, h)) return false;
  // Corners 0 and 1 name a kind of frame, not a size.
  const FrameNeed need =
      ApplyBackgroundRegion(window.Handle(), w, h, corner > 1 ? window.Scale(corner) : corner);
  if (need == FrameNeed::kCustomFrame) window.SetCustomFrame(1);
  return need != FrameNeed::kFailed;
}

}  // namespace pyr
