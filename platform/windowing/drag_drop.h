// Dragging one control onto another, as the class library has it, carried by Qt's drag and drop.
//
// A control starts a drag with BeginDrag (at once, or once the mouse has moved a few pixels with the button
// held). While the mouse moves, the control under it is asked through DragOver (its OnDragOver event) whether
// it accepts the source there: on entering, on every move and on leaving. A control without an OnDragOver
// handler accepts nothing. Dropped on a control that accepted it, the drag reaches that control's DragDrop
// (OnDragDrop); in every case the source hears that the drag is over through DoEndDrag (OnEndDrag), with the
// control that took the drop, or none when the drag was dropped elsewhere or given up.
//
// The drag runs through Qt's drag loop, so the system draws the cursor and tracks the mouse; the drag events
// reach the target control as CM_DRAG messages. Only drags started by a control of this program are handled
// this way: other drops (text or files from elsewhere) keep the widgets' own handling.
#pragma once
#include "platform/core/events.h"
#include "platform/windowing/messages.h"
#include <Qt>
#include <functional>

class QDrag;
class TControl;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TDragOverEvent =
    TEvent<void(TObject *Sender, TObject *Source, int X, int Y, TDragState State, bool &Accept)>;
using TDragDropEvent = TEvent<void(TObject *Sender, TObject *Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject *Sender, TObject *Target, int X, int Y)>;

// The drag message: WParam one of the codes below, LParam a TDragRec *.
constexpr UINT CM_DRAG = 0xB000 + 47;
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop };

struct TDragRec {
  TControl *Source = nullptr;
  int X = 0, Y = 0; // client coordinates of the target
  bool Accept = false;
};

// How far the mouse moves with the button held before a drag begun with BeginDrag(false) starts.
constexpr int DefaultDragThreshold = 5;

// How a started drag runs until the user drops it or gives it up: Qt's drag loop (QDrag::exec) unless
// replaced. Tests replace it with a script that moves the mouse over the controls as a person would, sending
// the drag events the system sends.
using TDragLoop = std::function<Qt::DropAction(QDrag *Drag)>;
// Installs Loop (an empty one puts Qt's back) and answers the one it replaces.
TDragLoop SetDragLoop(TDragLoop Loop);
