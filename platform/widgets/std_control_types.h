// Types and helpers shared by the standard controls (edits, combo boxes, buttons, labels, menus): text
// alignment, owner-draw states, scroll-bar choices, bevels, and the "&" accelerator rules of captions.
#pragma once
#include "platform/core/small_set.h"
#include "platform/windowing/messages.h"
#include <QChar>
#include <QString>

class TWinControl;
class QWidget;

#include "platform/core/alignment.h"
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
// The bevels of panels.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
// Where a popup stands against the point or control it is shown for.
enum TPopupAlignment { paLeft, paRight, paCenter };

// The state of an owner-drawn item (a combo-box entry, a menu item).
enum TOwnerDrawStateFlag {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSmallSet<TOwnerDrawStateFlag>;

// The accelerator of a caption: the character after a single "&" ("&&" stands for an "&"); a null character
// when there is none.
QChar GetHotkey(const QString &Text);
// Whether Key (a character, or a virtual key of a letter or digit) is the accelerator of Caption, ignoring
// case.
bool IsAccel(WPARAM Key, const QString &Caption);
// The caption without its accelerator marks: "&Save" gives "Save", "A && B" gives "A & B".
QString StripHotkey(const QString &Text);

// Sends a notification (EN_CHANGE, CBN_SELCHANGE, BN_CLICKED, ...) to the control's parent as WM_COMMAND,
// which the parent reflects back to the control as CN_COMMAND; without a parent the control receives
// CN_COMMAND itself. Exceptions raised by the handlers go to the application's handler.
void SendCommandNotification(TWinControl *Control, WORD Code);
