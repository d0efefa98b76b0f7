// Types and constants of the user-interface service: dialog procedures, the
// window messages the program sends and receives, window styles, metrics and
// the records that messages point at. Values and layouts are the Win32 ones,
// so the real-API backend passes them through unchanged.
#pragma once

#include <stdint.h>

#include "platform/types.h"

namespace os {

// WPARAM, LPARAM and the results of messages and dialog procedures.
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

// A dialog procedure: nonzero when it handled the message. The backends call
// it with the program's own calling convention.
using DialogProc = intptr_t (*)(Window dialog, unsigned message, WParam wParam, LParam lParam);

// RECT and POINT.
struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
struct Point {
    int32_t x;
    int32_t y;
};

// NMHDR: the header that the second parameter of WM_NOTIFY points at.
struct NotifyHeader {
    Window from;
    uintptr_t id;
    unsigned code;
};

// HELPINFO: what the second parameter of WM_HELP points at.
struct HelpInfo {
    unsigned size;
    int contextType;  // kHelpInfoWindow for a control or window
    int controlId;
    void* item;  // the window (or menu) that the request is about
    uintptr_t contextId;
    Point mousePos;
};
enum : int { kHelpInfoWindow = 1 };

inline unsigned LowWord(WParam value) { return static_cast<unsigned>(value & 0xFFFF); }
inline unsigned HighWord(WParam value) { return static_cast<unsigned>((value >> 16) & 0xFFFF); }
inline WParam MakeWParam(unsigned low, unsigned high) {
    return static_cast<WParam>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// Window messages.
enum : unsigned {
    kWmClose = 0x0010,
    kWmSetFont = 0x0030,
    kWmNotify = 0x004E,
    kWmHelp = 0x0053,
    kWmSetIcon = 0x0080,
    kWmInitDialog = 0x0110,
    kWmCommand = 0x0111,
    kWmSysCommand = 0x0112,
    kWmUser = 0x0400,
    // Buttons.
    kBmGetCheck = 0x00F0,
    kBmSetCheck = 0x00F1,
    kBmClick = 0x00F5,
    // Combo boxes: the screen rectangle of the dropped-down list.
    kCbGetDroppedControlRect = 0x0152,
    // Rich-edit controls: the background colour (EM_SETBKGNDCOLOR, 1091).
    kEmSetBkgndColor = kWmUser + 67,
    // Property sheets: the sheet's tab control.
    kPsmGetTabControl = kWmUser + 116,
};
// WM_SYSCOMMAND: the close box.
enum : unsigned { kScClose = 0xF060 };
// WM_NOTIFY codes (negative values, as the header's unsigned code holds them).
enum : int { kPsnHelp = -205 };
// Notification code of a button click in WM_COMMAND.
enum : unsigned { kBnClicked = 0 };

// Check states of buttons.
enum : unsigned {
    kBstUnchecked = 0,
    kBstChecked = 1,
    kBstIndeterminate = 2,
};

// Control ids with a meaning of their own in dialogs (IDOK, IDCANCEL and the
// message-box answers are in types.h).
enum : int { kIdHelp = 9 };

// GetWindowLongA indices; kDwlpMsgResult is a dialog's result of the message
// its procedure handles (32-bit dialogs).
enum : int {
    kGwlExStyle = -20,
    kGwlStyle = -16,
    kGwlId = -12,
    kDwlpMsgResult = 0,
};

// Window styles.
enum : uint32_t {
    kWsPopup = 0x80000000u,
    kWsChild = 0x40000000u,
    kWsVisible = 0x10000000u,
    kWsDisabled = 0x08000000u,
    kWsCaption = 0x00C00000u,  // kWsBorder | kWsDlgFrame
    kWsBorder = 0x00800000u,
    kWsDlgFrame = 0x00400000u,
    kWsVScroll = 0x00200000u,
    kWsHScroll = 0x00100000u,
    kWsSysMenu = 0x00080000u,
    kWsThickFrame = 0x00040000u,
    kWsGroup = 0x00020000u,
    kWsTabStop = 0x00010000u,
};
enum : uint32_t {
    kWsExDlgModalFrame = 0x00000001u,
    kWsExClientEdge = 0x00000200u,
    kWsExStaticEdge = 0x00020000u,
    kWsExLayoutRtl = 0x00400000u,
};
// Dialog template styles.
enum : uint32_t {
    kDsAbsAlign = 0x01,
    kDsSetFont = 0x40,
    kDsModalFrame = 0x80,
    kDsNoFailCreate = 0x10,
    kDsCenter = 0x0800,
    kDsControl = 0x0400,
};
// Button styles (the low four bits are the kind).
enum : uint32_t {
    kBsPushButton = 0,
    kBsDefPushButton = 1,
    kBsCheckBox = 2,
    kBsAutoCheckBox = 3,
    kBsRadioButton = 4,
    kBs3State = 5,
    kBsAuto3State = 6,
    kBsGroupBox = 7,
    kBsAutoRadioButton = 9,
    kBsTypeMask = 0x0F,
};
// Combo box styles (the low two bits are the kind).
enum : uint32_t {
    kCbsSimple = 1,
    kCbsDropDown = 2,
    kCbsDropDownList = 3,
    kCbsTypeMask = 3,
};

// SetWindowPos flags.
enum : unsigned {
    kSwpNoSize = 0x0001,
    kSwpNoMove = 0x0002,
    kSwpNoZOrder = 0x0004,
    kSwpNoActivate = 0x0010,
};

// GetWindow commands.
enum : unsigned {
    kGwHwndNext = 2,
    kGwOwner = 4,
    kGwChild = 5,
};

// GetSystemMetrics indices.
enum : int {
    kSmCxScreen = 0,
    kSmCyScreen = 1,
    kSmCyCaption = 4,
    kSmCxBorder = 5,
    kSmCyBorder = 6,
    kSmCxDlgFrame = 7,
    kSmCyDlgFrame = 8,
    kSmCxFrame = 32,
    kSmCyFrame = 33,
    kSmCxEdge = 45,
    kSmCyEdge = 46,
};

// GetSysColor indices.
enum : int { kColorBtnFace = 15 };

// WM_SETICON: which icon.
enum : WParam {
    kIconSmall = 0,
    kIconBig = 1,
};

// WinHelpA commands.
enum : unsigned { kHelpContext = 1 };

}  // namespace os
