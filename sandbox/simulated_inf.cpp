#include "sandbox/simulated_inf.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pyr {

namespace {

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\"");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r\"");
  return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

WideText Wide(std::string_view s) { return WideText::FromUtf8(s.data(), s.size()); }

}  // namespace

bool ParseInfPackage(std::string_view text, DriverPackage* package) {
  std::string section;
  bool haveVersion = false;
  std::istringstream lines{std::string(text)};
  for (std::string raw; std::getline(lines, raw);) {
    std::string_view line = raw;
    if (const size_t semicolon = line.find(';'); semicolon != std::string_view::npos) {
      line = line.substr(0, semicolon);
    }
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = std::string(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (SameName(section, "Version")) {
      if (SameName(key, "DriverVer")) {
        package->driverVer = Wide(value);
        haveVersion = true;
      } else if (SameName(key, "Provider")) {
        package->provider = Wide(value);
      } else if (SameName(key, "Class")) {
        package->className = Wide(value);
      }
    } else if (!SameName(section, "Strings") && !SameName(section, "Manufacturer")) {
      // A model line: description = install section, hardware ID[, compatible IDs...]
      std::string_view rest = value;
      size_t comma = rest.find(',');
      if (comma == std::string_view::npos) continue;
      rest = rest.substr(comma + 1);
      while (!rest.empty()) {
        comma = rest.find(',');
        const std::string_view id = Trim(rest.substr(0, comma));
        if (!id.empty()) package->hardwareIds.push_back(Wide(id));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
    }
  }
  return haveVersion;
}

bool ReadInfPackage(std::u16string_view path, DriverPackage* package) {
  std::ifstream file(std::filesystem::path(std::u16string(path)), std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  const std::filesystem::path name = std::filesystem::path(std::u16string(path)).filename();
  package->originalName = WideText(name.u16string());
  return ParseInfPackage(content.str(), package);
}

}  // namespace pyr
