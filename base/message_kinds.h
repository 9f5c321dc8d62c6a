// The kinds of message the program asks the user, and the answers: shared by the message box
// that shows them and the operations that ask.
#pragma once

#include <cstdint>

namespace pyr {

enum MessageKind : int32_t {
  kMessageOk = 0,
  kMessageYesNo = 1,
  kMessageOkCancel = 2,
  kMessageYesNoCancel = 3,
  kMessageTip = 4,
};

// Answers of AskUser.
enum MessageAnswer : int32_t { kAnswerCancel = -1, kAnswerNo = 0, kAnswerYes = 1 };

}  // namespace pyr
