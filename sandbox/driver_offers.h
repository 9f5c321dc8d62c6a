// How the simulated PC judges a driver offered for a device: which hardware IDs a package's IDs
// select, the date and version of its DriverVer, whether it betters the installed driver, and
// reading an INF file as the system would.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/wide_text.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

// Whether a package's hardware ID selects a device ID: equal, or a prefix ending at '&'.
bool IdMatches(std::u16string_view packageId, std::u16string_view deviceId);

// DriverVer "MM/DD/YYYY,version": date as a FILETIME, and the version.
struct DriverVer {
  uint64_t date = 0;
  WideText version;
};
DriverVer ParseDriverVer(const WideText& text);

// "MM/DD/YYYY,version" of a date (FILETIME) and a version; empty without a date.
WideText DriverVerText(const std::optional<uint64_t>& date, const WideText& version);

// Dotted versions compared part by part as numbers; missing parts count as 0.
std::vector<uint64_t> VersionParts(const WideText& version);
int CompareVersions(const WideText& a, const WideText& b);

// Windows ranks drivers by signature, feature and identifier score (lower is better); only for
// equal ranks do the date and then the version decide. On a complete tie the installed driver
// (b, when bInstalled) keeps its place.
bool Outranks(const InfFacts& a, uint32_t rankA, const InfFacts& b, uint32_t rankB, bool bInstalled);

// What the store's copy of a package's INF says.
InfFacts FactsOf(const DriverPackage& package);

std::u16string_view FileNameOf(std::u16string_view path);

// Reads an INF file on disk; false when it cannot be read or is not an INF.
bool ReadInf(std::u16string_view path, InfFacts* inf);

}  // namespace pyr
