// Whether downloaded bytes are a whole Windows program: an answer that is not one (an error or
// maintenance page served with status 200, a transfer cut short) must never replace a program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pyr {

// How much of the start of a file the check needs at most: the headers and the section table.
inline constexpr size_t kProgramHeadBytes = 65536;

// head holds the first bytes of a file of fileSize bytes (all of them, or at least the first
// kProgramHeadBytes). True for a complete PE image: "MZ", the "PE\0\0" signature, machine AMD64
// (with a PE32+ optional header) or I386 (with a PE32 one), at least one section, and every
// section's raw data and the certificate table inside the file.
bool IsCompleteProgramImage(const uint8_t* head, size_t headSize, uint64_t fileSize);

}  // namespace pyr
