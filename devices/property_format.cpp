#include "devices/property_format.h"

#include <cmath>
#include <cstring>

#include "base/date_time_text.h"
#include "devices/device_platform.h"
#include "devices/guid.h"
#include "devices/property_keys.h"

namespace pyr {

namespace {

// The property values are little-endian on every system that has them.
uint64_t ReadUnsigned(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

int64_t ReadSigned(const uint8_t* p, int bytes) {
  uint64_t v = ReadUnsigned(p, bytes);
  if (bytes < 8 && (v >> (8 * bytes - 1))) v |= ~uint64_t{0} << (8 * bytes);
  return static_cast<int64_t>(v);
}

double ReadDouble(const uint8_t* p) {
  uint64_t bits = ReadUnsigned(p, 8);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

float ReadFloat(const uint8_t* p) {
  uint32_t bits = static_cast<uint32_t>(ReadUnsigned(p, 4));
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// UTF-16 units from bytes: up to the first zero unit or the end of the bytes.
std::u16string StringAt(const uint8_t* p, size_t units) {
  std::u16string s;
  for (size_t i = 0; i < units; ++i) {
    char16_t c = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

// DECIMAL: wReserved, scale, sign, Hi32, Lo64; false where the system's conversion fails.
bool DecimalToDouble(const uint8_t* p, double* out) {
  const unsigned scale = p[2];
  const uint8_t sign = p[3];
  if (scale > 28 || (sign & 0x7F)) return false;
  double value = static_cast<double>(ReadUnsigned(p + 4, 4)) * 18446744073709551616.0 +
                 static_cast<double>(ReadUnsigned(p + 8, 8));
  value /= std::pow(10.0, scale);
  *out = (sign & 0x80) ? -value : value;
  return true;
}

WideText ErrorCodeText(uint32_t code) {
  const uint8_t bigEndian[4] = {static_cast<uint8_t>(code >> 24), static_cast<uint8_t>(code >> 16),
                                static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)};
  WideText out;
  out.AssignConcat({WideText::HexEncode(bigEndian, 4, WideText::kHexPrefix), u" (",
                    WideText::FromInt32(static_cast<int32_t>(code)), u")"});
  return out;
}

}  // namespace

uint32_t FormatPropertyValue(uint32_t type, const uint8_t* value, size_t size,
                             DevicePlatform* platform, std::vector<WideText>* texts) {
  texts->clear();
  if (!value) size = 0;
  auto need = [&](size_t bytes) { return size >= bytes; };
  auto one = [&](WideText t) {
    texts->push_back(std::move(t));
    return 1u;
  };
  switch (type) {
    case devprop::kSByte:
      return need(1) ? one(WideText::FromInt64(ReadSigned(value, 1))) : 0;
    case devprop::kByte:
      return need(1) ? one(WideText::FromUInt64(value[0])) : 0;
    case devprop::kInt16:
      return need(2) ? one(WideText::FromInt64(ReadSigned(value, 2))) : 0;
    case devprop::kUInt16:
      return need(2) ? one(WideText::FromUInt64(ReadUnsigned(value, 2))) : 0;
    case devprop::kInt32:
      return need(4) ? one(WideText::FromInt64(ReadSigned(value, 4))) : 0;
    case devprop::kUInt32:
    case devprop::kDevPropType:
      return need(4) ? one(WideText::FromUInt64(ReadUnsigned(value, 4))) : 0;
    case devprop::kInt64:
      return need(8) ? one(WideText::FromInt64(ReadSigned(value, 8))) : 0;
    case devprop::kUInt64:
    case devprop::kCurrency:
      return need(8) ? one(WideText::FromUInt64(ReadUnsigned(value, 8))) : 0;
    case devprop::kFloat:
      return need(4) ? one(WideText::FromDouble(ReadFloat(value))) : 0;
    case devprop::kDouble:
      return need(8) ? one(WideText::FromDouble(ReadDouble(value))) : 0;
    case devprop::kDecimal: {
      double d;
      if (!need(16) || !DecimalToDouble(value, &d)) return 0;
      return one(WideText::FromDouble(d));
    }
    case devprop::kGuid:
      return need(16) ? one(Guid::FromBytes(value).ToRegistryText()) : 0;
    case devprop::kDate: {
      CalendarTime t;
      if (!need(8) || !CalendarFromOleDate(ReadDouble(value), &t)) return 0;
      return one(DateTimeText(t));
    }
    case devprop::kFileTime: {
      CalendarTime t;
      if (!need(8) || !CalendarFromFileTime(ReadUnsigned(value, 8), &t)) return 0;
      return one(DateTimeText(t));
    }
    case devprop::kBoolean:
      return need(1) ? one(WideText(value[0] ? u"True" : u"False")) : 0;
    case devprop::kString:
    case devprop::kSecurityDescriptorString:
      return need(2) ? one(WideText(StringAt(value, size / 2))) : 0;
    case devprop::kSecurityDescriptor: {
      WideText sddl;
      if (!need(40) || !platform) return 0;
      if (!platform->SecurityDescriptorToSddl(value, static_cast<uint32_t>(size), &sddl)) return 0;
      return sddl.Empty() ? 0 : one(std::move(sddl));
    }
    case devprop::kDevPropKey:
      if (!need(20)) return 0;
      texts->push_back(Guid::FromBytes(value).ToRegistryText());
      texts->push_back(WideText::FromUInt64(ReadUnsigned(value + 16, 4)));
      return 2;
    case devprop::kError:
    case devprop::kNtStatus:
      return need(4) ? one(ErrorCodeText(static_cast<uint32_t>(ReadUnsigned(value, 4)))) : 0;
    case devprop::kStringIndirect: {
      WideText resolved;
      if (!platform || size < 2) return 0;
      WideText source(StringAt(value, size / 2));
      if (!platform->LoadIndirectString(source.Buffer(), &resolved)) return 0;
      return one(std::move(resolved));
    }
    case devprop::kBinary:
      return size ? one(WideText::HexEncode(value, size)) : 0;
    case devprop::kStringList: {
      if (!need(4)) return 0;
      const size_t units = size / 2;
      size_t i = 0;
      while (i < units) {
        std::u16string s = StringAt(value + 2 * i, units - i);
        if (s.empty()) break;
        i += s.size() + 1;
        texts->push_back(WideText(std::move(s)));
      }
      return static_cast<uint32_t>(texts->size());
    }
    default:
      return 0;
  }
}

}  // namespace pyr
