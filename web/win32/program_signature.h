// The Authenticode check of a program file and its start, on Windows.
#pragma once

#include <windows.h>

#include "base/wide_text.h"
#include "web/program_signature.h"

namespace pyr {

// WinVerifyTrust on the open file (the whole chain, revocation too), then the Authenticode chain
// policy on the signer's chain; the facts are empty when wintrust or crypt32 cannot be loaded.
SignatureFacts ReadSignatureFacts(HANDLE file, const WideText& path);

enum class SignedStart { kStarted, kNotStarted, kNotSigned };

// Starts the program only when it is signed by the maker. The file is held open without write or
// delete sharing from the check to the start, so what was checked is what runs.
SignedStart StartSignedProgram(const WideText& path, const WideText& arguments, const SignaturePolicy& policy);

}  // namespace pyr
