#include "devices/property_reader.h"

#include <cstring>

#include "devices/property_format.h"

namespace pyr {

namespace {
// Names, IDs and paths fit; long hardware-ID lists grow the buffer once.
constexpr size_t kInitialBuffer = 1024;
// Room for a terminator the value may lack.
constexpr size_t kSlack = 2;
}  // namespace

PropertyReader::PropertyReader(DevicePlatform& platform)
    : platform_(platform), buffer_(kInitialBuffer + kSlack) {}

uint32_t PropertyReader::Read(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                              std::vector<WideText>* texts) {
  texts->clear();
  uint32_t type = 0, reported = 0, error = 0;
  size_t capacity = buffer_.size() - kSlack;
  bool ok = platform_.GetDeviceProperty(set, device, key, &type, buffer_.data(),
                                        static_cast<uint32_t>(capacity), &reported, &error);
  Note(ok || error == kErrorInsufficientBuffer, error);
  if (!ok) {
    if (reported <= capacity) return 0;  // absent, or a failure that is not about room
    if (reported > kMaxPropertyBytes) return 0;  // no real property is this large
    capacity = reported;
    buffer_.assign(capacity + kSlack, 0);
    ok = platform_.GetDeviceProperty(set, device, key, &type, buffer_.data(),
                                     static_cast<uint32_t>(capacity), &reported, &error);
    Note(ok, error);
    if (!ok) return 0;
  }
  // Never trust a size beyond what was handed over.
  const size_t size = reported < capacity ? reported : capacity;
  buffer_[size] = 0;
  buffer_[size + 1] = 0;
  return FormatPropertyValue(type, buffer_.data(), size, &platform_, texts);
}

WideText PropertyReader::ReadFirst(DeviceSet set, const DeviceInfo& device,
                                   const DevPropKey& key) {
  if (Read(set, device, key, &scratch_) == 0) return WideText();
  return std::move(scratch_.front());
}

bool PropertyReader::ReadFixed(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                               void* out, uint32_t size) {
  uint8_t value[16] = {};
  if (size > sizeof value) return false;
  uint32_t type = 0, got = 0, error = 0;
  const bool ok = platform_.GetDeviceProperty(set, device, key, &type, value, size, &got, &error);
  Note(ok, error);
  if (!ok) return false;
  if (got != size) return false;
  std::memcpy(out, value, size);
  return true;
}

uint32_t ReadDeviceProperty(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                            const DevPropKey& key, std::vector<WideText>* texts) {
  PropertyReader reader(platform);
  return reader.Read(set, device, key, texts);
}

}  // namespace pyr
