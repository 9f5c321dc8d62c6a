#include "web/program_signature.h"

namespace pyr {

bool SignedByMaker(const SignatureFacts& facts, const SignaturePolicy& policy) {
  const bool pinned = !policy.pinnedRootSha1.empty();
  if (pinned && facts.rootSha1 != policy.pinnedRootSha1) return false;
  for (const uint32_t answer : {facts.trustResult, facts.chainError}) {
    // A revocation list out of reach leaves the copy usable offline; a revoked certificate is
    // refused whenever the list is reached.
    if (answer == 0 || answer == kTrustRevocationOffline || answer == kTrustRevocationFailure) continue;
    if (answer == kTrustUntrustedRoot && pinned) continue;
    return false;
  }
  return !policy.signer.empty() && facts.signer == policy.signer;
}

}  // namespace pyr
