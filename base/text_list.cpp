#include "base/text_list.h"

namespace pyr {

TextList Split(std::u16string_view text, std::u16string_view delimiters, bool wholeString) {
  std::vector<std::u16string> pieces;
  if (text.empty() || delimiters.empty()) {
    pieces.emplace_back(text);
    return TextList(std::move(pieces));
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t cut = wholeString ? text.find(delimiters, start) : text.find_first_of(delimiters, start);
    if (cut == std::u16string_view::npos) {
      pieces.emplace_back(text.substr(start));
      break;
    }
    pieces.emplace_back(text.substr(start, cut - start));
    start = cut + (wholeString ? delimiters.size() : 1);
  }
  return TextList(std::move(pieces));
}

}  // namespace pyr
