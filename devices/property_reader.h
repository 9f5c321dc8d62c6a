// Reads device properties through the platform: as display texts, or as fixed-size values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

// A larger value counts as unreadable: it would only be a broken or hostile driver's.
inline constexpr size_t kMaxPropertyBytes = size_t{1} << 20;

// Keeps one buffer that fits most values, so a read normally costs one platform call; the
// size is asked for only when a value does not fit, and the buffer then grows for good.
class PropertyReader {
 public:
  explicit PropertyReader(DevicePlatform& platform);

  // Empties texts and fills it with the property's display texts; returns their count
  // (0 when the property is absent, short or cannot be converted).
  uint32_t Read(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                std::vector<WideText>* texts);
  // The first text, or empty.
  WideText ReadFirst(DeviceSet set, const DeviceInfo& device, const DevPropKey& key);
  // Reads a value of exactly size bytes into out; false (out untouched) when absent, larger or
  // smaller.
  bool ReadFixed(DeviceSet set, const DeviceInfo& device, const DevPropKey& key, void* out,
                 uint32_t size);
  // Whether the last read failed for another reason than an absent value: then nothing is known
  // of the property, not even that it is absent.
  bool LastReadFailed() const { return lastFailed_; }

 private:
  void Note(bool ok, uint32_t error) { lastFailed_ = !ok && error != kErrorNotFound; }
  bool lastFailed_ = false;
  DevicePlatform& platform_;
  std::vector<uint8_t> buffer_;
  std::vector<WideText> scratch_;
};

// One read with a reader of its own.
uint32_t ReadDeviceProperty(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                            const DevPropKey& key, std::vector<WideText>* texts);

}  // namespace pyr
