#include "web/program_signature.h"

namespace pyr {

bool SignedByMaker(const SignatureFacts& facts, const SignaturePolicy& policy) {
  const bool pinned = !policy.pinnedRootSha1.empty();
  if (pinned && facts.rootSha1 != policy.pinnedRootSha1) return false;
  for (const uint32_t answer : {facts.trustResult, facts.chainError}) {
    if (answer == 0) continue;
    // A revocation server out of reach leaves a copy that was checked before usable offline or
    // behind a proxy that blocks it; a revoked certificate is refused whenever the list is reached.
    const bool unreached = answer == kTrustRevocationOffline || answer == kTrustRevocationFailure ||
                           answer == kTrustNoRevocationCheck;
    if (unreached && !policy.revocationMustBeReached) continue;
    if (answer == kTrustUntrustedRoot && pinned) continue;
    return false;
  }
  return !policy.organization.empty() && facts.organization == policy.organization &&
         facts.country == policy.country;
}

}  // namespace pyr
