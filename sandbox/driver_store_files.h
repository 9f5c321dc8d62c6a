// The simulated PC's driver store as real files: one folder per package holding an INF (its
// [Version] DriverVer and the hardware IDs it serves) and the files the INF names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/wide_text.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

// Where the system keeps the published INFs (oemN.inf) of the store's packages.
inline constexpr char16_t kSystemInfFolder[] = u"C:\\Windows\\INF";

// A text as the system hands it out: UTF-16 little-endian with its terminator, appended to out.
inline void AppendTerminatedUtf16(std::vector<uint8_t>* out, std::u16string_view s) {
  for (char16_t c : s) {
    out->push_back(static_cast<uint8_t>(c));
    out->push_back(static_cast<uint8_t>(c >> 8));
  }
  out->push_back(0);
  out->push_back(0);
}

// What the simulated installer reads from an INF.
struct InfFacts {
  WideText driverVer;  // "MM/DD/YYYY,version"
  WideText provider;
  WideText className;
  std::vector<WideText> hardwareIds;  // from the models sections
  std::vector<WideText> files;        // [SourceDisksFiles]
  bool excludeFromSelect = false;     // [ControlFlags] ExcludeFromSelect
};

// Reads an INF in UTF-8 or UTF-16 (with its byte-order mark). False without a DriverVer.
bool ParseInfText(std::string_view bytes, InfFacts* facts);

// The INF of a package and the names of the files it lists (a driver and its catalog).
std::string MakeInfText(const DriverPackage& package, const std::vector<WideText>& files);
std::vector<WideText> PackageFileNames(const DriverPackage& package);
// A size between a few KiB and a few MiB, fixed per file name.
uint32_t PackageFileSize(std::u16string_view fileName);

// Writes every package missing under root\FileRepository; returns how many packages are there
// (complete) afterwards.
size_t WriteDriverStoreFiles(const SimulatedPc& pc, const WideText& root);
WideText PackageFolder(const WideText& root, const DriverPackage& package);

// The PC with its devices scaled to devices and its store to packages: base's packages repeated,
// each published under a number and a folder of its own that holds one small INF, below root.
SimulatedPc ScaledStorePc(const SimulatedPc& base, size_t packages, size_t devices, const WideText& root);

}  // namespace pyr
