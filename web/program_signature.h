// Who may be started as the updater: a program whose Authenticode signature is intact, whose
// certificate chain the system trusts, and whose signer is the maker. The Windows side gathers
// the facts (web/win32/program_signature.h); the verdict is decided here.
#pragma once

#include <cstdint>
#include <string>

namespace pyr {

struct SignaturePolicy {
  std::u16string signer;      // the signing certificate's name
  std::string pinnedRootSha1; // a root trusted besides the system's (upper-case hex); empty: none
};

// What the system said of a file.
struct SignatureFacts {
  uint32_t trustResult = 0;  // WinVerifyTrust's answer
  uint32_t chainError = 0;   // the Authenticode chain policy's error on the signer's chain
  std::u16string signer;     // the signing certificate's name
  std::string rootSha1;      // the chain's last certificate
};

// WinVerifyTrust and chain policy answers that matter here.
inline constexpr uint32_t kTrustUntrustedRoot = 0x800B0109;
inline constexpr uint32_t kTrustRevocationOffline = 0x80092013;
inline constexpr uint32_t kTrustRevocationFailure = 0x800B010E;

bool SignedByMaker(const SignatureFacts& facts, const SignaturePolicy& policy);

}  // namespace pyr
