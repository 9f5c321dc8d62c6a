#include "app/win32/pane_images.h"

#include <map>
#include <tuple>
#include <vector>

#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"

namespace pyr {
namespace {

constexpr Argb kCheckMarkColour = 0xFF005F00;

}  // namespace

// Menus and buttons only show their bitmaps, so one bitmap per picture and size serves every
// item that shows it: decoding and scaling a picture once per item cost most of the window's
// start-up.
struct PaneImages::Store {
  std::vector<BitmapHandle> bitmaps;
  // (id, size, kind) -> bitmap; kind 0 a picture, 1 an empty check box, 2 a ticked one.
  std::map<std::tuple<int, int, int>, HBITMAP> made;
  template <typename Make>
  HBITMAP Find(int id, int size, int kind, Make make) {
    const auto key = std::make_tuple(id, size, kind);
    if (const auto found = made.find(key); found != made.end()) return found->second;
    BitmapHandle bitmap = make();
    HBITMAP raw = bitmap.Get();
    if (raw == nullptr) return nullptr;
    bitmaps.push_back(std::move(bitmap));
    made.emplace(key, raw);
    return raw;
  }
};

PaneImages::PaneImages() : store_(std::make_unique<Store>()) {}
PaneImages::~PaneImages() = default;

HBITMAP PaneImages::Picture(int id, int size) {
  return store_->Find(id, size, 0, [&] { return LoadResourceBitmap(module_, id, size, size); });
}

HBITMAP PaneImages::CheckMark(int size, bool ticked) {
  return store_->Find(0, size, ticked ? 2 : 1, [&] {
    return CheckBoxImage(size, ticked ? kCheckBoxTicked : kCheckBoxEmpty, kCheckMarkColour);
  });
}

void PaneImages::Clear() {
  store_->made.clear();
  store_->bitmaps.clear();
}

}  // namespace pyr
