#include "platform/windowing/drag_drop.h"
#include "platform/windowing/controls.h"
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <cstdlib>

namespace {

// The format that marks a drag as one of this program's controls; the data is the drag's number, so that a
// drag from another copy of the program is not taken for ours.
const QString kControlDragFormat = QStringLiteral("application/x-tallyrook-control-drag");

// The one drag under way (or waiting for the mouse to move far enough) in the program.
struct DragSession {
  quint64 number = 0;
  bool pending = false;
  bool running = false;
  TControl *source = nullptr;
  std::weak_ptr<bool> sourceAlive;
  QPoint start; // screen point the pending drag is measured from
  int threshold = DefaultDragThreshold;
  TPoint over; // the last point over the present target, in its client coordinates
  bool accepted = false;
  TControl *target = nullptr; // the control that took the drop
  std::weak_ptr<bool> targetAlive;
  TPoint dropAt;
};

DragSession g_session;
quint64 g_lastNumber = 0;
TDragLoop g_loop;

bool IsOurDrag(const QMimeData *Data) {
  return g_session.running && Data && Data->hasFormat(kControlDragFormat) &&
         Data->data(kControlDragFormat).toULongLong() == g_session.number;
}

// Whether Event is a drag event of the drag a control of this program is making.
bool IsControlDrag(const QEvent *Event) {
  if (Event->type() == QEvent::DragLeave) return g_session.running;
  const auto *drop = dynamic_cast<const QDropEvent *>(Event);
  return drop && IsOurDrag(drop->mimeData());
}

} // namespace

TDragLoop SetDragLoop(TDragLoop Loop) {
  TDragLoop previous = std::move(g_loop);
  g_loop = std::move(Loop);
  return previous;
}

// ---- the source ----

bool TControl::Dragging() const { return g_session.running && g_session.source == this; }

void TControl::BeginDrag(bool Immediate, int Threshold) {
  // A drag under way goes on; one still waiting for the mouse (its button came up elsewhere) gives way.
  if (g_session.running || !widget_) return;
  g_session = DragSession{};
  g_session.source = this;
  g_session.sourceAlive = alive_;
  if (Immediate) {
    RunDrag();
    return;
  }
  g_session.pending = true;
  g_session.threshold = Threshold < 0 ? DefaultDragThreshold : Threshold;
  const auto *press = native_ ? dynamic_cast<const QMouseEvent *>(native_->event) : nullptr;
  g_session.start = press ? press->globalPosition().toPoint() : QCursor::pos();
}

bool TControl::PendingDragMouse(const TMessage &Message) {
  if (!g_session.pending || g_session.source != this || g_session.sourceAlive.expired()) return false;
  if (Message.Msg != WM_MOUSEMOVE || !(Message.WParam & MK_LBUTTON)) {
    // The button came up first: it was a click.
    g_session = DragSession{};
    return false;
  }
  const TPoint at = ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
  const QPoint moved = QPoint(at.X, at.Y) - g_session.start;
  if (std::max(std::abs(moved.x()), std::abs(moved.y())) < g_session.threshold) return false;
  RunDrag();
  return true;
}

void TControl::RunDrag() {
  g_session.pending = false;
  g_session.running = true;
  g_session.number = ++g_lastNumber;
  QPointer<QDrag> drag = new QDrag(widget_);
  auto *data = new QMimeData;
  data->setData(kControlDragFormat, QByteArray::number(g_session.number));
  drag->setMimeData(data);
  Qt::DropAction action = Qt::IgnoreAction;
  try {
    action = g_loop ? g_loop(drag) : drag->exec(Qt::MoveAction);
  } catch (...) {
    g_session = DragSession{};
    delete drag;
    throw;
  }
  delete drag;
  const DragSession done = g_session;
  g_session = DragSession{};
  if (done.sourceAlive.expired()) return;
  // The drag loop took the button's release: nothing is left of the press that began it.
  controlState_.Exclude(csClicked);
  if (MouseCapture()) SetMouseCapture(false);
  const bool dropped = action != Qt::IgnoreAction && done.target && !done.targetAlive.expired();
  DoEndDrag(dropped ? done.target : nullptr, dropped ? done.dropAt.X : 0, dropped ? done.dropAt.Y : 0);
}

void TControl::DoEndDrag(TObject *Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

// ---- the target ----

void TControl::DragOver(TObject *Source, int X, int Y, TDragState State, bool &Accept) {
  Accept = false;
  if (!OnDragOver) return;
  Accept = true;
  OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject *Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DragMessage(TMessage &Message) {
  auto *drag = MessagePointer<TDragRec>(std::uintptr_t(Message.LParam));
  if (!drag) return;
  switch (Message.WParam) {
  case dmDragEnter: DragOver(drag->Source, drag->X, drag->Y, dsDragEnter, drag->Accept); break;
  case dmDragLeave: DragOver(drag->Source, drag->X, drag->Y, dsDragLeave, drag->Accept); break;
  case dmDragMove: DragOver(drag->Source, drag->X, drag->Y, dsDragMove, drag->Accept); break;
  case dmDragDrop: DragDrop(drag->Source, drag->X, drag->Y); break;
  default: break;
  }
  Message.Result = drag->Accept ? 1 : 0;
}

bool TControl::HandleDragEvent(QEvent *Event) {
  if (!IsControlDrag(Event)) return CallNative(Event);
  TControl *source = g_session.sourceAlive.expired() ? nullptr : g_session.source;
  auto *drop = dynamic_cast<QDropEvent *>(Event);
  if (drop) {
    const QPoint p = WidgetPoint(drop->position().toPoint()) - ClientOffset();
    g_session.over = TPoint{p.x(), p.y()};
  }
  TDragRec drag{source, g_session.over.X, g_session.over.Y, false};
  const bool takesPart = bool(OnDragOver);
  // Whether the control answered (it may have been freed by its own handler meanwhile).
  const auto answered = [&](TDragMessage Code) {
    TMessage message{CM_DRAG, WPARAM(Code), PointerParam(&drag), 0};
    return source && DispatchTranslated(message, Event);
  };
  switch (Event->type()) {
  case QEvent::DragEnter:
  case QEvent::DragMove: {
    const bool enter = Event->type() == QEvent::DragEnter;
    g_session.accepted = answered(enter ? dmDragEnter : dmDragMove) && drag.Accept;
    // A control that takes part in dragging hears every move over it, even where it refuses the drop.
    drop->setAccepted(g_session.accepted || (enter && takesPart));
    return true;
  }
  case QEvent::DragLeave:
    g_session.accepted = false;
    answered(dmDragLeave);
    return true;
  case QEvent::Drop:
    if (!g_session.accepted || !source) {
      // Released where it is refused: the control hears the drag leave.
      drop->ignore();
      answered(dmDragLeave);
      return true;
    }
    g_session.target = this;
    g_session.targetAlive = alive_;
    g_session.dropAt = g_session.over;
    drop->setDropAction(Qt::MoveAction);
    drop->accept();
    answered(dmDragDrop);
    return true;
  default: return CallNative(Event);
  }
}
