#include "platform/widgets/control_bar.h"
#include <algorithm>

TControlBar::TControlBar(TComponent *AOwner) : TCustomControl(AOwner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 100, 50);
  SetColor(clBtnFace);
}

void TControlBar::SetRowSize(int Value) {
  if (Value <= 0 || rowSize_ == Value) return;
  rowSize_ = Value;
  Realign();
  Invalidate();
}

TRect TControlBar::BandRect(const TControl *Control) const {
  return TRect{Control->Left() - kBandBorder - kGrabberSize, Control->Top() - kBandBorder,
               Control->Left() + Control->Width() + kBandBorder,
               Control->Top() + Control->Height() + kBandBorder};
}

void TControlBar::AlignControls(TControl *AControl, TRect &Rect) {
  QList<TControl *> bands;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i)->Visible() && Controls(i)->Align() == alNone) bands.append(Controls(i));
  // A row is RowSize high, or as high as its tallest band.
  int top = Rect.Top;
  int rowHeight = rowSize_;
  int x = 0;
  for (TControl *control : std::as_const(bands)) {
    const int width = control->Width() + kGrabberSize + 2 * kBandBorder;
    if (x > 0 && x + width > Rect.Width()) {
      top += rowHeight;
      rowHeight = rowSize_;
      x = 0;
    }
    control->SetBounds(Rect.Left + x + kBandBorder + kGrabberSize, top + kBandBorder, control->Width(),
                       control->Height());
    rowHeight = std::max(rowHeight, control->Height() + 2 * kBandBorder);
    x += width;
  }
  TCustomControl::AlignControls(AControl, Rect);
}

void TControlBar::DrawGrabber(const TRect &Band) {
  // Two raised ridges down the band's left side.
  for (int left : {Band.Left + 3, Band.Left + 6}) {
    TRect ridge{left, Band.Top + 3, left + 3, Band.Bottom - 3};
    DrawEdge(Canvas(), ridge, BDR_RAISEDINNER, BF_RECT);
  }
}

void TControlBar::Paint() {
  TCanvas *canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  for (int i = 0; i < ControlCount(); ++i) {
    TControl *control = Controls(i);
    if (!control->Visible() || control->Align() != alNone) continue;
    TRect band = BandRect(control);
    TBandPaintOptions options{bpoFrame, bpoGrabber};
    if (OnBandPaint) OnBandPaint(this, control, canvas, band, options);
    if (options.Contains(bpoFrame)) {
      TRect frame = band;
      DrawEdge(canvas, frame, BDR_RAISEDINNER, BF_RECT);
    }
    if (options.Contains(bpoGrabber)) DrawGrabber(band);
  }
}

void TControlBar::WndProc(TMessage &Message) {
  TCustomControl::WndProc(Message);
  if (Message.Msg == CM_CONTROLLISTCHANGE) {
    Realign();
    Invalidate();
  }
}
