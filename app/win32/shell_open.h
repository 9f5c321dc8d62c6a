// Opening a document or web address with the program the user has chosen for it.
#pragma once

namespace pyr {

// ShellExecuteExW with no verb, shown normally; failures are not reported to the user.
bool ShellOpen(const char16_t* target);

}  // namespace pyr
