#include "web/program_image.h"

namespace pyr {

namespace {

constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kMostSections = 96;  // the format's own limit
constexpr uint32_t kSecurityDirectory = 4;

// Little-endian reads that say false when they would pass the end.
struct Bytes {
  const uint8_t* data;
  size_t size;
  bool U16(uint64_t at, uint16_t* v) const {
    if (at + 2 > size) return false;
    *v = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
    return true;
  }
  bool U32(uint64_t at, uint32_t* v) const {
    uint16_t lo = 0, hi = 0;
    if (!U16(at, &lo) || !U16(at + 2, &hi)) return false;
    *v = static_cast<uint32_t>(lo) | static_cast<uint32_t>(hi) << 16;
    return true;
  }
};

}  // namespace

bool IsCompleteProgramImage(const uint8_t* head, size_t headSize, uint64_t fileSize) {
  const Bytes b{head, headSize < fileSize ? headSize : static_cast<size_t>(fileSize)};
  uint16_t mz = 0, machine = 0, sections = 0, optionalSize = 0, magic = 0;
  uint32_t peAt = 0, signature = 0;
  if (!b.U16(0, &mz) || mz != 0x5A4D || !b.U32(0x3C, &peAt)) return false;
  if (!b.U32(peAt, &signature) || signature != 0x00004550) return false;
  if (!b.U16(peAt + 4, &machine) || !b.U16(peAt + 6, &sections) || !b.U16(peAt + 20, &optionalSize)) return false;
  if (!b.U16(peAt + 24, &magic)) return false;
  if (!((machine == kMachineAmd64 && magic == kMagicPe32Plus) || (machine == kMachineI386 && magic == kMagicPe32))) {
    return false;
  }
  if (sections == 0 || sections > kMostSections) return false;
  const uint64_t optional = uint64_t{peAt} + 24;
  const uint64_t table = optional + optionalSize;
  if (table + uint64_t{sections} * kSectionHeaderSize > b.size) return false;
  for (uint32_t i = 0; i < sections; ++i) {
    uint32_t rawSize = 0, rawAt = 0;
    b.U32(table + i * kSectionHeaderSize + 16, &rawSize);
    b.U32(table + i * kSectionHeaderSize + 20, &rawAt);
    if (rawSize != 0 && uint64_t{rawAt} + rawSize > fileSize) return false;
  }
  // The certificate table is the one directory given as a file offset; a cut signature shows here.
  const uint64_t directories = optional + (magic == kMagicPe32Plus ? 112 : 96);
  uint32_t count = 0, certificatesAt = 0, certificatesSize = 0;
  if (!b.U32(directories - 4, &count)) return false;
  if (count > kSecurityDirectory && b.U32(directories + kSecurityDirectory * 8, &certificatesAt) &&
      b.U32(directories + kSecurityDirectory * 8 + 4, &certificatesSize) && certificatesSize != 0 &&
      uint64_t{certificatesAt} + certificatesSize > fileSize) {
    return false;
  }
  return true;
}

}  // namespace pyr
