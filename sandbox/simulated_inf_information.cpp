// The store's published INFs as the system lists and reads them: SetupGetInfFileListW over the
// INF folder, SetupGetInfInformationW and the two queries over its answer.
#include <string>

#include "devices/class_installer.h"
#include "sandbox/driver_offers.h"
#include "sandbox/simulated_platform.h"

namespace pyr {

namespace {

std::vector<std::u16string> Strings(const InfInformation& info) {
  std::vector<std::u16string> out(1);
  for (size_t i = 0; i + 1 < info.bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(info.bytes[i] | (info.bytes[i + 1] << 8));
    if (c == 0) {
      out.emplace_back();
    } else {
      out.back().push_back(c);
    }
  }
  out.pop_back();
  return out;
}

std::u16string CatalogOf(const WideText& originalInf) {
  std::u16string name = originalInf.Str();
  const size_t dot = name.rfind(u'.');
  return name.substr(0, dot) + u".cat";
}

}  // namespace

bool SimulatedPlatform::GetInfFileList(const char16_t* directory, uint32_t infStyle,
                                       std::vector<WideText>* names, uint32_t* error) {
  names->clear();
  if (Count(PlatformCall::kGetInfFileList, error)) return false;
  // A null directory is the system's INF folder; the simulated PC has no other.
  if (directory && !WideText::EqualsNoCase(directory, kSystemInfFolder)) return Fail(error, kErrorFileNotFound);
  if (!(infStyle & kInfStyleWin4)) return true;
  for (const DriverPackage& p : pc_.driverStore) names->push_back(p.publishedName);
  // The system's own INFs lie beside the published ones.
  for (const SimulatedDevice& d : pc_.devices) {
    if (!d.infPath.Empty() && d.infPath.Find(u"oem", false) != 1) names->push_back(d.infPath);
  }
  return true;
}

bool SimulatedPlatform::GetInfInformation(const char16_t* infName, uint32_t searchControl,
                                          InfInformation* info, uint32_t* error) {
  info->bytes.clear();
  if (Count(PlatformCall::kGetInfInformation, error)) return false;
  if (!infName || searchControl != kInfInfoDefaultSearch) return Fail(error, kErrorInvalidParameter);
  // The default search looks in the INF folder, where a published package's INF is.
  if (const DriverPackage* found = PublishedPackage(FileNameOf(infName))) {
    const DriverPackage& p = *found;
    // The answer buffer: the original INF name, its catalog, then [Version] keys and values, each
    // null-terminated, as the system keeps the facts of one INF (InfCount 1).
    AppendTerminatedUtf16(&info->bytes, p.originalName.View());
    AppendTerminatedUtf16(&info->bytes, CatalogOf(p.originalName));
    const SimulatedClass* cls = nullptr;
    for (const SimulatedClass& c : pc_.classes) {
      if (!p.className.Empty() && WideText::EqualsNoCase(c.name.View(), p.className.View())) cls = &c;
    }
    const std::pair<const char16_t*, WideText> keys[] = {
        {u"DriverVer", p.driverVer}, {u"Provider", p.provider}, {u"Class", p.className},
        {u"ClassGUID", cls ? cls->guid.ToRegistryText() : WideText()}, {u"CatalogFile", WideText(CatalogOf(p.originalName))}};
    for (const auto& [key, value] : keys) {
      if (value.Empty()) continue;
      AppendTerminatedUtf16(&info->bytes, key);
      AppendTerminatedUtf16(&info->bytes, value.View());
    }
    return true;
  }
  return Fail(error, kErrorFileNotFound);
}

bool SimulatedPlatform::QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex,
                                                   const char16_t* key, WideText* value,
                                                   uint32_t* error) {
  value->Clear();
  if (Count(PlatformCall::kQueryInfVersionInformation, error)) return false;
  const std::vector<std::u16string> strings = Strings(info);
  // The index must lie in [0, InfCount).
  if (infIndex != 0 || strings.size() < 2 || !key) return Fail(error, kErrorInvalidParameter);
  for (size_t i = 2; i + 1 < strings.size(); i += 2) {
    if (WideText::EqualsNoCase(strings[i], key)) {
      *value = WideText(strings[i + 1]);
      return true;
    }
  }
  // Not documented: the error for a key the section lacks.
  return Fail(error, kErrorNotFound);
}

bool SimulatedPlatform::QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                                        WideText* originalInf,
                                                        WideText* originalCatalog, uint32_t* error) {
  if (Count(PlatformCall::kQueryInfOriginalFileInformation, error)) return false;
  const std::vector<std::u16string> strings = Strings(info);
  if (infIndex != 0 || strings.size() < 2) return Fail(error, kErrorInvalidParameter);
  *originalInf = WideText(strings[0]);
  *originalCatalog = WideText(strings[1]);
  return true;
}

}  // namespace pyr
