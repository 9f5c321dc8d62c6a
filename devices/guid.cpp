#include "devices/guid.h"

namespace pyr {

Guid Guid::FromBytes(const uint8_t* b) {
  Guid g;
  g.data1 = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  g.data2 = static_cast<uint16_t>(b[4] | b[5] << 8);
  g.data3 = static_cast<uint16_t>(b[6] | b[7] << 8);
  for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
  return g;
}

void Guid::ToBytes(uint8_t* b) const {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[4 + i] = static_cast<uint8_t>(data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[6 + i] = static_cast<uint8_t>(data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) b[8 + i] = data4[i];
}

WideText Guid::ToRegistryText() const {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(38);
  auto hex = [&](uint64_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) out.push_back(kDigits[(v >> (4 * i)) & 15]);
  };
  out.push_back(u'{');
  hex(data1, 8);
  out.push_back(u'-');
  hex(data2, 4);
  out.push_back(u'-');
  hex(data3, 4);
  out.push_back(u'-');
  hex(data4[0], 2);
  hex(data4[1], 2);
  out.push_back(u'-');
  for (int i = 2; i < 8; ++i) hex(data4[i], 2);
  out.push_back(u'}');
  return WideText(std::move(out));
}

bool Guid::Parse(std::u16string_view text, Guid* out) {
  if (text.size() == 38) {
    if (text.front() != u'{' || text.back() != u'}') return false;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  uint8_t nibbles[32];
  int n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != u'-') return false;
      continue;
    }
    if (c >= u'0' && c <= u'9') nibbles[n++] = static_cast<uint8_t>(c - u'0');
    else if (c >= u'a' && c <= u'f') nibbles[n++] = static_cast<uint8_t>(c - u'a' + 10);
    else if (c >= u'A' && c <= u'F') nibbles[n++] = static_cast<uint8_t>(c - u'A' + 10);
    else return false;
  }
  auto take = [&](int from, int count) {
    uint64_t v = 0;
    for (int i = 0; i < count; ++i) v = v << 4 | nibbles[from + i];
    return v;
  };
  Guid g;
  g.data1 = static_cast<uint32_t>(take(0, 8));
  g.data2 = static_cast<uint16_t>(take(8, 4));
  g.data3 = static_cast<uint16_t>(take(12, 4));
  for (int i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(take(16 + 2 * i, 2));
  *out = g;
  return true;
}

}  // namespace pyr
