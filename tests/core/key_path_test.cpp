#include <gtest/gtest.h>

#include "app/key_path.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

struct KeyPathCase {
  const char16_t* path;
  uint32_t access;
  RootKey root;
  const char16_t* subkey;
  uint32_t effectiveAccess;
};

TEST(KeyPath, RootNamesSuffixesAndSubkeys) {
  const KeyPathCase cases[] = {
      {u"HKCU\\Software\\Tolvenor\\Pyravel", kKeyRead, RootKey::kCurrentUser, u"Software\\Tolvenor\\Pyravel", kKeyRead},
      {u"HKEY_CURRENT_USER\\Software", kKeyRead, RootKey::kCurrentUser, u"Software", kKeyRead},
      {u"hklm\\SYSTEM", kKeyRead, RootKey::kLocalMachine, u"SYSTEM", kKeyRead},
      // The shortest root name: its backslash is the fourth character.
      {u"HKU\\.DEFAULT", kKeyRead, RootKey::kUsers, u".DEFAULT", kKeyRead},
      // View suffixes add their flag and leave the root name behind.
      {u"HKLM64\\Software", kKeyRead, RootKey::kLocalMachine, u"Software", kKeyRead | kKeyWow64_64},
      {u"HKLM32\\Software", kKeyRead, RootKey::kLocalMachine, u"Software", kKeyRead | kKeyWow64_32},
      {u"HKEY_LOCAL_MACHINE64\\Software", kKeyRead, RootKey::kLocalMachine, u"Software", kKeyRead | kKeyWow64_64},
      {u"HKEY_CURRENT_CONFIG32\\System", kKeyRead, RootKey::kCurrentConfig, u"System", kKeyRead | kKeyWow64_32},
      // Create-or-open asks for read and write access.
      {u"HKCU\\Software\\Tolvenor", kCreateOrOpen, RootKey::kCurrentUser, u"Software\\Tolvenor", kKeyReadWrite},
      {u"HKCU64\\Software", kCreateOrOpen, RootKey::kCurrentUser, u"Software", kKeyReadWrite | kKeyWow64_64},
      // Without a backslash the whole path names the root and the root itself is opened.
      {u"HKCU", kKeyRead, RootKey::kCurrentUser, u"", kKeyRead},
      // A backslash before the fourth character does not end the root name.
      {u"HK\\CU", kKeyRead, RootKey::kNone, u"", kKeyRead},
      {u"HKXX\\Software", kKeyRead, RootKey::kNone, u"Software", kKeyRead},
      {u"HKCU64", kKeyRead, RootKey::kCurrentUser, u"", kKeyRead | kKeyWow64_64},
      {u"", kKeyRead, RootKey::kNone, u"", kKeyRead},
      // The root name is looked for within twenty characters only.
      {u"HKEY_CURRENT_USER_AND_MORE\\Software", kKeyRead, RootKey::kNone, u"", kKeyRead},
  };
  for (const KeyPathCase& c : cases) {
    const KeyPath parsed = ParseKeyPath(c.path, c.access);
    const std::string label = WideText(c.path).ToUtf8();
    EXPECT_EQ(parsed.root, c.root) << label;
    if (c.root != RootKey::kNone) { EXPECT_EQ(parsed.subkey, std::u16string(c.subkey)) << label; }
    EXPECT_EQ(parsed.access, c.effectiveAccess) << label;
    EXPECT_EQ(parsed.createOrOpen, c.access == kCreateOrOpen) << label;
  }
}

}  // namespace
}  // namespace pyr
