#include "app/win32/pane_images.h"

#include <vector>

#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"

namespace pyr {
namespace {

constexpr Argb kCheckMarkColour = 0xFF005F00;

}  // namespace

struct PaneImages::Store {
  std::vector<BitmapHandle> bitmaps;
  HBITMAP Keep(BitmapHandle bitmap) {
    HBITMAP raw = bitmap.Get();
    if (raw != nullptr) bitmaps.push_back(std::move(bitmap));
    return raw;
  }
};

PaneImages::PaneImages() : store_(std::make_unique<Store>()) {}
PaneImages::~PaneImages() = default;

HBITMAP PaneImages::Picture(int id, int size) {
  return store_->Keep(LoadResourceBitmap(module_, id, size, size));
}

HBITMAP PaneImages::CheckMark(int size, bool ticked) {
  return store_->Keep(
      CheckBoxImage(size, ticked ? kCheckBoxTicked : kCheckBoxEmpty, kCheckMarkColour));
}

void PaneImages::Clear() { store_->bitmaps.clear(); }

}  // namespace pyr
