// The control library's private window messages. The numbers are fixed: stored key tables and the table
// controls post them by number.
#pragma once
#include "platform/windowing/messages.h"

constexpr UINT ovm_ReportError = 0x7F00;  // to an entry field (posted): report the error code in wParam
constexpr UINT ovm_FocusControl = 0x7F01; // to the controller window (posted): focus the control in lParam
constexpr UINT ovm_GetDataSize = 0x7F03;  // to an entry field: the size of its value in bytes
constexpr UINT ovm_PreEdit = 0x7F06; // to the controller window (posted): wParam losing window, lParam Sender
constexpr UINT ovm_PostEdit =
    0x7F07; // to the controller window (posted): wParam gaining window, lParam Sender
constexpr UINT ovm_AfterEnter = 0x7F08; // to a control (posted to itself): fire AfterEnter
constexpr UINT ovm_AfterExit = 0x7F09;  // to a control (posted to itself): fire AfterExit
constexpr UINT ovm_DelayNotify =
    0x7F0A; // to the controller window: low word of wParam the code, lParam Sender
constexpr UINT ovm_PlaceLabel = 0x7F0B;   // to a control (posted to itself): move the attached label along
constexpr UINT ovm_LabelMoved = 0x7F0C;   // to a control (posted by its label): record the label's offsets
constexpr UINT ovm_AttachLabel = 0x7F0D;  // to a control (sent by its label): lParam the label
constexpr UINT ovm_FontPreview = 0x7F0E;  // to a font combo box (posted to itself): refresh the preview
constexpr UINT ovm_ItemsChanged = 0x7F10; // to the owner control of a collection (sent): an item was added
