// The toolkit's event codes, control kinds and control flags: shared by every window of the
// program and by the portable rules that react to events.
#pragma once

#include <cstdint>

#include "base/colours.h"

namespace pyr {

// UiEvent::code. A positive code is the id of the control or menu item that was used.
namespace ev {

// The extra of kItemDeleted when every item of the list was deleted at once.
constexpr uint64_t kAllItems = ~uint64_t{0};
constexpr int32_t kNone = 0;
constexpr int32_t kSizing = -3;
constexpr int32_t kSized = -4;
constexpr int32_t kFilesDropped = -5;
constexpr int32_t kClose = -6;
constexpr int32_t kMinimize = -7;
constexpr int32_t kRestore = -8;
constexpr int32_t kMaximize = -9;
constexpr int32_t kLeftDown = -10;
constexpr int32_t kLeftUp = -11;
constexpr int32_t kRightDown = -12;
constexpr int32_t kRightUp = -13;
constexpr int32_t kDoubleClick = -14;
constexpr int32_t kRightDoubleClick = -15;
constexpr int32_t kMouseMove = -16;
constexpr int32_t kMouseWheel = -17;
constexpr int32_t kNonClientDoubleClick = -18;
constexpr int32_t kActivated = -19;
constexpr int32_t kDeactivated = -20;
constexpr int32_t kHover = -21;
constexpr int32_t kContextMenu = -22;
constexpr int32_t kNonClientMouseLeave = -23;
constexpr int32_t kMoving = -24;
constexpr int32_t kMoved = -25;
constexpr int32_t kReturn = -26;
constexpr int32_t kNonClientLeftDown = -27;
constexpr int32_t kNonClientLeftUp = -28;
constexpr int32_t kNonClientActive = -29;
constexpr int32_t kNonClientInactive = -30;
constexpr int32_t kEndSession = -31;
constexpr int32_t kItemSelected = -45;
constexpr int32_t kItemDeselected = -46;
constexpr int32_t kItemChecked = -47;
constexpr int32_t kItemUnchecked = -48;
constexpr int32_t kItemDeleted = -49;  // extra: the item, or kAllItems when all went at once
constexpr int32_t kScrollBegin = -50;
constexpr int32_t kScrollEnd = -51;
constexpr int32_t kListFocusLost = -52;
constexpr int32_t kLabelEdited = -53;
constexpr int32_t kColumnClick = -54;
constexpr int32_t kChar = -201;
constexpr int32_t kTrayOther = -202;
constexpr int32_t kBalloonShown = -203;
constexpr int32_t kBalloonClicked = -204;
constexpr int32_t kBalloonHidden = -205;
constexpr int32_t kMenuLoopEntered = -206;
constexpr int32_t kMenuLoopLeft = -207;
constexpr int32_t kDeviceChange = -208;
constexpr int32_t kPumpFailed = -300;
}  // namespace ev

enum ControlKind : uint32_t {
  kKindWindow = 0,
  kKindButton = 3,
  kKindCheckBox = 4,
  kKindStatusEdit = 9,
  kKindEdit = 12,
  kKindText = 13,
  kKindListView = 15,
  kKindSubmenuItem = 16,
  kKindMenuItem = 17,
  kKindPicture = 19,
  kKindLink = 31,
  kKindSizeGrip = 39,
  kKindPanel = 40,
};

// Control flags: the layout anchors (see layout_rules.h) share this word.
enum ControlFlag : uint32_t {
  kFlagClipFromErase = 0x400,
  kFlagDoubleBuffered = 0x800,
  kFlagDragsWindow = 0x1000,
  kFlagRepaintAfterLayout = 0x8000,
};

// SetControlState / GetControlState bits.
enum ControlStateFlag : uint32_t {
  kStateHide = 1,
  kStateShow = 2,
  kStateCheck = 4,
  kStateUncheck = 8,
  kStateIndeterminate = 16,
  kStateEnable = 32,
  kStateDisable = 64,
  kStateFocus = 128,
  kStateUnfocus = 256,
};

// Colours of control entries are COLORREF values or kDefaultColour / kTransparentColour.

// Private window messages.
constexpr uint32_t kCloseMessage = 3246;       // WM_CLOSE turned into an event
constexpr uint32_t kTrayCallbackMessage = 3248;
constexpr uint32_t kTrayEventMessage = 3249;

}  // namespace pyr
