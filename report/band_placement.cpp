#include "report/band_placement.h"
#include "report/view.h"
#include <algorithm>

int TfrBandFlow::Measure(int DesignHeight, const std::vector<TfrView *> &Objects,
                         const NeededHeight &Needed) {
  std::vector<TfrView *> order;
  for (TfrView *view : Objects)
    if (view->Visible) order.push_back(view);
  std::stable_sort(order.begin(), order.end(),
                   [](const TfrView *a, const TfrView *b) { return a->Top < b->Top; });
  int height = DesignHeight;
  for (size_t i = 0; i < order.size(); ++i) {
    TfrView *view = order[i];
    Flow flow;
    for (size_t j = 0; j < i; ++j) {
      const TfrView *above = order[j];
      if (above->Top + above->Height > view->Top || above->Left >= view->Left + view->Width ||
          view->Left >= above->Left + above->Width)
        continue;
      Flow &pushing = flow_[above];
      flow.shift = std::max(flow.shift, pushing.shift + pushing.growth);
      pushing.pushes = true;
    }
    // An object that does not stretch needs the height it was given.
    flow.needed = view->Height;
    if (const int needed = Needed(view); needed >= 0) {
      flow.needed = needed;
      flow.growth = std::max(0, flow.needed - view->Height);
      height = std::max(height, view->Top + flow.shift + flow.needed);
    }
    // What was pushed keeps the room the design left below it.
    if (flow.shift > 0) height = std::max(height, DesignHeight + flow.shift + flow.growth);
    flow_[view] = flow;
  }
  return height;
}

void TfrBandFlow::Place(const TfrView *View, int BandHeight, int &Top, int &Height) const {
  const auto it = flow_.find(View);
  const Flow flow = it != flow_.end() ? it->second : Flow{};
  Top = View->Top + flow.shift;
  Height = View->Height;
  if (View->Flags & flStretched) Height = flow.pushes ? flow.needed : BandHeight - Top;
}

TfrBandPlacing frPlaceBand(const TfrBandRoom &Room) {
  if (Room.y + Room.reach <= Room.bottom) return TfrBandPlacing::Whole;
  if (!Room.fresh && (!Room.maySplit || Room.y + Room.least > Room.bottom)) return TfrBandPlacing::MoveOn;
  return TfrBandPlacing::Slices;
}
