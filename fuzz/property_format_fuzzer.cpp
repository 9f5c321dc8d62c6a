// Arbitrary property types and bytes through the formatter. The value is copied into a buffer
// of exactly its size, so any read past it stops the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "base/list_sort.h"
#include "devices/property_format.h"
#include "devices/property_keys.h"

namespace {

constexpr uint32_t kTypes[] = {
    pyr::devprop::kEmpty,    pyr::devprop::kNull,        pyr::devprop::kSByte,
    pyr::devprop::kByte,     pyr::devprop::kInt16,       pyr::devprop::kUInt16,
    pyr::devprop::kInt32,    pyr::devprop::kUInt32,      pyr::devprop::kInt64,
    pyr::devprop::kUInt64,   pyr::devprop::kFloat,       pyr::devprop::kDouble,
    pyr::devprop::kDecimal,  pyr::devprop::kGuid,        pyr::devprop::kCurrency,
    pyr::devprop::kDate,     pyr::devprop::kFileTime,    pyr::devprop::kBoolean,
    pyr::devprop::kString,   pyr::devprop::kSecurityDescriptor,
    pyr::devprop::kSecurityDescriptorString,             pyr::devprop::kDevPropKey,
    pyr::devprop::kDevPropType, pyr::devprop::kError,    pyr::devprop::kNtStatus,
    pyr::devprop::kStringIndirect, pyr::devprop::kBinary, pyr::devprop::kStringList,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // First byte: one of the known types, or (from 0xF0 on) a raw type in the next four bytes.
  uint32_t type = kTypes[data[0] % std::size(kTypes)];
  size_t skip = 1;
  if (data[0] >= 0xF0 && size >= 5) {
    type = data[1] | data[2] << 8 | data[3] << 16 | uint32_t{data[4]} << 24;
    skip = 5;
  }
  const size_t length = size - skip;
  std::unique_ptr<uint8_t[]> value(new uint8_t[length ? length : 1]);
  if (length) std::memcpy(value.get(), data + skip, length);

  std::vector<pyr::WideText> texts;
  const uint32_t n =
      pyr::FormatPropertyValue(type, length ? value.get() : nullptr, length, nullptr, &texts);
  if (n != texts.size()) std::abort();
  for (const pyr::WideText& t : texts) {
    // A text never carries the terminator of the value it came from.
    if (t.View().find(u'\0') != std::u16string_view::npos) std::abort();
    // Whatever the formatter made must also sort sanely against itself and its neighbours.
    if (pyr::CompareCellTexts(t.View(), t.View()) != 0) std::abort();
  }
  if (texts.size() >= 2) {
    const int ab = pyr::CompareCellTexts(texts[0].View(), texts[1].View());
    const int ba = pyr::CompareCellTexts(texts[1].View(), texts[0].View());
    if ((ab > 0) != (ba < 0) || (ab == 0) != (ba == 0)) std::abort();
  }
  return 0;
}
