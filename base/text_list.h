// TextList: the pieces of a text cut at delimiters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/wide_text.h"

namespace pyr {

class TextList {
 public:
  TextList() = default;
  explicit TextList(std::vector<std::u16string> pieces) : pieces_(std::move(pieces)) {}

  uint32_t Count() const { return static_cast<uint32_t>(pieces_.size()); }
  // The i-th piece (0-based); the last piece for an index past the end; null when empty.
  const char16_t* Piece(uint32_t i) const {
    if (pieces_.empty()) return nullptr;
    return pieces_[i < pieces_.size() ? i : pieces_.size() - 1].c_str();
  }
  const std::vector<std::u16string>& Pieces() const { return pieces_; }

 private:
  std::vector<std::u16string> pieces_;
};

// Without wholeString every unit of delimiters ends a piece; with it the delimiter string as a
// whole separates them. Empty pieces are kept except after a delimiter at the very end.
TextList Split(std::u16string_view text, std::u16string_view delimiters, bool wholeString);

}  // namespace pyr
