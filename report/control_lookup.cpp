#include "report/control_lookup.h"
#include "platform/windowing/controls.h"

TControl *FindControlAtPoint(const TWinControl *Parent, TPoint Point) {
  if (!Parent) return nullptr;
  for (int i = Parent->ControlCount() - 1; i >= 0; --i) {
    TControl *child = Parent->Controls(i);
    if (!child || !child->Visible() || !PtInRect(child->BoundsRect(), Point)) continue;
    auto *windowed = dynamic_cast<TWinControl *>(child);
    if (windowed && windowed->ControlStyle().Contains(csAcceptsControls) && windowed->ControlCount() > 0) {
      if (TControl *inner =
              FindControlAtPoint(windowed, TPoint{Point.X - child->Left(), Point.Y - child->Top()}))
        return inner;
    }
    return child;
  }
  return nullptr;
}
