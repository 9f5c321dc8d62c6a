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
  ImagePtr image = WindowBackgroundImage(width, height, outer, inner, footer, border);
  if (!image || !SetBackgroundImage(window, image.get(), width, height)) return false;
  const FrameNeed need = ApplyBackgroundRegion(window.Handle(), width, height, corner);
  if (need == FrameNeed::kCustomFrame) window.SetCustomFrame(1);
  return need != FrameNeed::kFailed;
}

}  // namespace pyr
