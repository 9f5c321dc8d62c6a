// The pictures of the main window's buttons and menu items, loaded once and kept for as long as
// the menus that show them.
#pragma once

#include <windows.h>

#include <memory>

namespace pyr {

// The size grip's picture.
inline constexpr int kSizeGripImage = 21;

class PaneImages {
 public:
  PaneImages();
  ~PaneImages();
  PaneImages(const PaneImages&) = delete;
  PaneImages& operator=(const PaneImages&) = delete;

  void SetModule(HMODULE module) { module_ = module; }
  // An "IMAGE" resource at size x size; null when it cannot be loaded.
  HBITMAP Picture(int id, int size);
  // The drawn check mark, ticked or empty, in the check-mark colour.
  HBITMAP CheckMark(int size, bool ticked);
  void Clear();

 private:
  struct Store;
  HMODULE module_ = nullptr;
  std::unique_ptr<Store> store_;
};

}  // namespace pyr
