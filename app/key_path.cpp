#include "app/key_path.h"

#include "base/wide_text.h"

namespace pyr {
namespace {

struct RootName {
  const char16_t* shortName;
  const char16_t* longName;
  RootKey root;
};

constexpr RootName kRootNames[] = {
    {u"HKLM", u"HKEY_LOCAL_MACHINE", RootKey::kLocalMachine},
    {u"HKCU", u"HKEY_CURRENT_USER", RootKey::kCurrentUser},
    {u"HKCR", u"HKEY_CLASSES_ROOT", RootKey::kClassesRoot},
    {u"HKU", u"HKEY_USERS", RootKey::kUsers},
    {u"HKCC", u"HKEY_CURRENT_CONFIG", RootKey::kCurrentConfig},
};

}  // namespace

KeyPath ParseKeyPath(std::u16string_view path, uint32_t access) {
  KeyPath result;
  result.createOrOpen = access == kCreateOrOpen;
  result.access = result.createOrOpen ? kKeyReadWrite : access;

  // The shortest root name has three letters, the longest nineteen plus a view suffix.
  const WideText whole(path);
  const int slash = whole.Find(u"\\", true, 1, 4, 20);
  std::u16string_view rootName = path;
  if (slash != 0) {
    rootName = path.substr(0, slash - 1);
    result.subkey.assign(path.substr(slash));
  }

  if (rootName.size() >= 2) {
    const std::u16string_view suffix = rootName.substr(rootName.size() - 2);
    if (suffix == u"64") {
      result.access |= kKeyWow64_64;
      rootName.remove_suffix(2);
    } else if (suffix == u"32") {
      result.access |= kKeyWow64_32;
      rootName.remove_suffix(2);
    }
  }

  for (const RootName& r : kRootNames) {
    if (WideText::EqualsNoCase(rootName, r.shortName) || WideText::EqualsNoCase(rootName, r.longName)) {
      result.root = r.root;
      break;
    }
  }
  return result;
}

}  // namespace pyr
