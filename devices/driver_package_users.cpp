#include "devices/driver_package_users.h"

#include <algorithm>

#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

namespace {

std::u16string Folded(const WideText& text) {
  std::u16string folded = text.Str();
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

}  // namespace

bool PackageUsers::Read(DevicePlatform& platform, bool withDevices) {
  users_.clear();
  const DeviceSet set = platform.GetClassDevs(nullptr, nullptr, WindowHandle{}, kDigcfAllClasses);
  if (!set.Valid()) return false;
  PropertyReader reader(platform);
  DeviceInfo device;
  bool complete = true;
  uint32_t error = 0;
  for (uint32_t i = 0; platform.EnumDeviceInfo(set, i, &device, &error); ++i) {
    const WideText inf = reader.ReadFirst(set, device, devpkey::kDriverInfPath);
    // A device whose package cannot be read may use any of them.
    if (reader.LastReadFailed()) complete = false;
    if (inf.Empty()) continue;
    if (!withDevices) {
      ++users_[Folded(inf)].present;
      continue;
    }
    // A device whose presence cannot be read counts as present: the safer side for removal.
    uint8_t present = 1;
    reader.ReadFixed(set, device, devpkey::kIsPresent, &present, 1);
    WideText name = reader.ReadFirst(set, device, devpkey::kFriendlyName);
    if (name.Empty()) name = reader.ReadFirst(set, device, devpkey::kDeviceDesc);
    Add(inf, present != 0, name);
  }
  // The enumeration must end where the set does, not at a failed call.
  complete = complete && error == kErrorNoMoreItems;
  platform.DestroyDeviceInfoList(set);
  return complete;
}

void PackageUsers::Add(const WideText& inf, bool present, const WideText& name) {
  PackageUse& use = users_[Folded(inf)];
  ++(present ? use.present : use.notPresent);
  if (use.firstNames.size() < PackageUse::kNamesKept && !name.Empty()) use.firstNames.push_back(name);
}

size_t PackageUsers::Count(const WideText& inf) const {
  const PackageUse* use = Use(inf);
  return use ? use->Total() : 0;
}

const PackageUse* PackageUsers::Use(const WideText& inf) const {
  const auto it = users_.find(Folded(inf));
  return it == users_.end() ? nullptr : &it->second;
}

bool IsPublishedOemInf(const WideText& name) {
  const std::u16string_view view = name.View();
  constexpr size_t kPrefix = 3, kSuffix = 4;
  if (view.size() <= kPrefix + kSuffix || !WideText::EqualsNoCase(view.substr(0, kPrefix), u"oem") ||
      !WideText::EqualsNoCase(view.substr(view.size() - kSuffix), u".inf")) {
    return false;
  }
  const std::u16string_view digits = view.substr(kPrefix, view.size() - kPrefix - kSuffix);
  return std::all_of(digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace pyr
