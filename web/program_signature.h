// Who may be started as the updater, or replace it: a program whose Authenticode signature is
// intact, whose certificate chain the local machine trusts, and whose signer is the maker. The
// Windows side gathers the facts (web/win32/program_signature.h); the verdict is decided here.
#pragma once

#include <cstdint>
#include <string>

namespace pyr {

struct SignaturePolicy {
  // The signing certificate's subject: its organization (O) and country (C). A display name is
  // anyone's to choose; O and C are what a certificate authority checks before it signs.
  std::u16string organization, country;
  std::string pinnedRootSha1;  // a root trusted besides the machine's (upper-case hex); empty: none
  // A download that would replace the copy is online by nature: there a revocation list out of
  // reach is a refusal, since whoever serves the file may be the one keeping the list away.
  bool revocationMustBeReached = false;
};

// What the system said of a file.
struct SignatureFacts {
  uint32_t trustResult = 0;  // WinVerifyTrust's answer
  uint32_t chainError = 0;   // the Authenticode chain policy's error on the machine engine's chain
  std::u16string organization, country;  // of the signing certificate's subject
  std::string rootSha1;      // the chain's last certificate
};

// WinVerifyTrust and chain policy answers that matter here.
inline constexpr uint32_t kTrustUntrustedRoot = 0x800B0109;
inline constexpr uint32_t kTrustRevocationOffline = 0x80092013;
inline constexpr uint32_t kTrustRevocationFailure = 0x800B010E;
inline constexpr uint32_t kTrustNoRevocationCheck = 0x80092012;

bool SignedByMaker(const SignatureFacts& facts, const SignaturePolicy& policy);

}  // namespace pyr
