#include "devices/com_port_name.h"

#include <algorithm>

namespace pyr {

uint32_t ComPortNumberOfName(std::u16string_view name) {
  constexpr uint32_t kMaxPorts = 4096;
  if (name.size() < 6 || name.back() != u')') return 0;
  size_t digits = name.size() - 1;
  while (digits > 0 && name[digits - 1] >= u'0' && name[digits - 1] <= u'9') --digits;
  const size_t count = name.size() - 1 - digits;
  if (count == 0 || count > 4 || digits < 4 || name[digits - 4] != u'(' ||
      !WideText::EqualsNoCase(name.substr(digits - 3, 3), u"COM")) {
    return 0;
  }
  uint32_t n = 0;
  for (size_t i = digits; i < name.size() - 1; ++i) n = n * 10 + (name[i] - u'0');
  return n >= 1 && n <= kMaxPorts ? n : 0;
}

WideText ComPortListText(std::vector<uint32_t> numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  WideText text;
  for (uint32_t n : numbers) {
    text = text.Empty() ? Concat({text, u"COM", WideText::FromInt32(int32_t(n))})
                        : Concat({text, u", COM", WideText::FromInt32(int32_t(n))});
  }
  return text;
}

}  // namespace pyr
