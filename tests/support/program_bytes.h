// The bytes of a small PE image for tests of what counts as a whole program: headers, sections
// whose raw data ends the file (or a certificate table after them).
#pragma once

#include <cstdint>
#include <string>

namespace pyr::testing {

struct ProgramLayout {
  uint16_t machine = 0x8664, magic = 0x20B, sections = 2;
  uint32_t peAt = 0x80, certificates = 0;  // bytes of certificate table after the sections
  uint32_t rawSize = 0x200;                 // of each section
};

inline std::string ProgramBytes(const ProgramLayout& p) {
  const uint32_t optionalSize = p.magic == 0x20B ? 240 : 224, rawAt = 0x400, rawSize = p.rawSize;
  std::string b(rawAt + rawSize * p.sections + p.certificates, '\0');
  if (b.size() < p.peAt + 0x200) b.resize(p.peAt + 0x200);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  put(0, 0x5A4D, 2);
  put(0x3C, p.peAt, 4);
  put(p.peAt, 0x4550, 4);
  put(p.peAt + 4, p.machine, 2);
  put(p.peAt + 6, p.sections, 2);
  put(p.peAt + 20, optionalSize, 2);
  const uint32_t optional = p.peAt + 24, directories = optional + (p.magic == 0x20B ? 112 : 96);
  put(optional, p.magic, 2);
  put(directories - 4, 16, 4);
  if (p.certificates) {
    put(directories + 32, rawAt + rawSize * p.sections, 4);
    put(directories + 36, p.certificates, 4);
  }
  for (uint32_t i = 0; i < p.sections; ++i) {
    const uint32_t at = optional + optionalSize + i * 40;
    if (at + 40 > rawAt) break;
    put(at + 16, rawSize, 4);
    put(at + 20, rawAt + i * rawSize, 4);
  }
  return b;
}

}  // namespace pyr::testing
