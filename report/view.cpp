#include "report/view.h"
#include "platform/core/format_settings.h"
#include "platform/core/streams.h"
#include "report/engine.h"
#include "report/model_state.h"
#include "report/view_stream.h"
#include <cmath>

TfrView::TfrView() : ID(frModel().NextViewID++) {
  // The default format: general text with the system's decimal separator.
  Format = 0x200 + Settings().DecimalSeparator.unicode();
}

TfrView::~TfrView() {
  // The engine must not keep pointing at an object that is gone.
  if (ReportEngineStarted() && frEngine().CurView == this) frEngine().CurView = nullptr;
}

int TfrView::ScaledRight() const {
  const int x = scaled_ ? saveX_ : Left, dx = scaled_ ? saveDX_ : Width;
  return frCoord((double(x) + dx) * ScaleX + OffsX);
}

int TfrView::ScaledBottom() const {
  const int y = scaled_ ? saveY_ : Top, dy = scaled_ ? saveDY_ : Height;
  return frCoord((double(y) + dy) * ScaleY + OffsY);
}

int TfrView::FramePenWidth() const { return std::clamp(frRound(FrameWidth), 1, 1024); }

void TfrView::Assign(const TfrView *source) {
  if (!source || source == this) return;
  Name = source->Name;
  Typ = source->Typ;
  Selected = source->Selected;
  Left = source->Left;
  Top = source->Top;
  Width = source->Width;
  Height = source->Height;
  Flags = source->Flags;
  FrameTyp = source->FrameTyp;
  FrameWidth = source->FrameWidth;
  FrameColor = source->FrameColor;
  FrameStyle = source->FrameStyle;
  FillColor = source->FillColor;
  Format = source->Format;
  FormatStr = source->FormatStr;
  Visible = source->Visible;
  Memo.Assign(&source->Memo);
  Script.Assign(&source->Script);
}

// ---- geometry ----

void TfrView::ComputeGeometry(double scaleX, double scaleY, int offsX, int offsY) {
  saveX_ = Left;
  saveY_ = Top;
  saveDX_ = Width;
  saveDY_ = Height;
  saveFW_ = FrameWidth;
  scaled_ = true;
  ScaleX = scaleX;
  ScaleY = scaleY;
  OffsX = offsX;
  OffsY = offsY;
  Left = frCoord(double(frRound(saveX_ * ScaleX)) + OffsX);
  Top = frCoord(double(frRound(saveY_ * ScaleY)) + OffsY);
  Width = frCoord(saveDX_ * ScaleX);
  Height = frCoord(saveDY_ * ScaleY);

  const int wx1 = frCoord((saveFW_ * ScaleX - 1) / 2);
  const int wx2 = frCoord(saveFW_ * ScaleX / 2);
  const int wy1 = frCoord((saveFW_ * ScaleY - 1) / 2);
  const int wy2 = frCoord(saveFW_ * ScaleY / 2);
  FrameWidth = float(saveFW_ * ScaleX);
  gapx = wx2 + 2;
  gapy = wy2 / 2 + 1;

  int left = Left, top = Top;
  int right = frCoord((double(saveX_) + saveDX_) * ScaleX + OffsX);
  int bottom = frCoord((double(saveY_) + saveDY_) * ScaleY + OffsY);
  if (FrameTyp & frbRight) right -= wx2;
  if (FrameTyp & frbBottom) bottom -= wy2;
  if (FrameTyp & frbLeft) left += wx1;
  if (FrameTyp & frbTop) top += wy1;
  DRect = Rect(left, top, right + 1, bottom + 1);
}

void TfrView::ApplyScale() {
  if (frModel().DocMode == dmDesigning)
    ComputeGeometry(1, 1, 0, 0);
  else
    ComputeGeometry(ScaleX, ScaleY, OffsX, OffsY);
}

void TfrView::RestoreBounds() {
  if (!scaled_) return;
  Left = saveX_;
  Top = saveY_;
  Width = saveDX_;
  Height = saveDY_;
  FrameWidth = saveFW_;
  scaled_ = false;
}

// ---- drawing ----

void TfrView::DrawBackground() {
  if (frModel().FirstPass || !Canvas) return;
  const bool designing = frModel().DocMode == dmDesigning;
  if (!designing && FillColor == clNone) return;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(FillColor == clNone ? clWhite : FillColor);
  const TRect r = designing ? DRect : Rect(Left, Top, ScaledRight(), ScaledBottom());
  Canvas->FillRect(r);
}

TRect TfrView::ReachableArea() const {
  TRect area = Canvas->ClipRect();
  InflateRect(area, 2048, 2048);
  return area;
}

void TfrView::FrameLine(int x1, int y1, int x2, int y2, bool vertical) {
  const int width = FramePenWidth();
  // Only the part that can show is drawn (an object far larger than the page would otherwise cost time in
  // proportion to its size); a start moved by whole dash periods keeps the dashes where they were.
  constexpr int dashPeriod = 24;
  const TRect area = ReachableArea();
  const int lo = vertical ? area.Top : area.Left, hi = vertical ? area.Bottom : area.Right;
  int &from = vertical ? y1 : x1, &to = vertical ? y2 : x2;
  const int across = vertical ? x1 : y1;
  const int acrossLo = vertical ? area.Left : area.Top, acrossHi = vertical ? area.Right : area.Bottom;
  if (across < acrossLo - 2 * width || across > acrossHi + 2 * width) return;
  if (from < lo) from += (lo - from) / dashPeriod * dashPeriod;
  to = std::min(to, hi);
  if (from > to) return;
  auto line = [&](int offset, int penWidth) {
    Canvas->Pen()->SetWidth(penWidth);
    const int dx = vertical ? offset : 0, dy = vertical ? 0 : offset;
    Canvas->MoveTo(x1 + dx, y1 + dy);
    // The end point itself belongs to the side, as the corner pixel of a frame.
    Canvas->LineTo(x2 + dx + (vertical ? 0 : 1), y2 + dy + (vertical ? 1 : 0));
  };
  const bool dashed = FrameStyle >= psDash && FrameStyle <= psDashDotDot;
  if (dashed) {
    // Dashes exist only for one-pixel pens: a wide dashed side is several one-pixel lines side by side.
    Canvas->Pen()->SetStyle(TPenStyle(FrameStyle));
    for (int i = 0; i < width; ++i) line(i - width / 2, 1);
    return;
  }
  Canvas->Pen()->SetStyle(psSolid);
  if (FrameStyle == frsDouble) {
    line(-width, width);
    line(width, width);
  } else {
    line(0, width);
  }
}

void TfrView::DrawFrame() {
  if (frModel().FirstPass || !Canvas) return;
  const bool designing = frModel().DocMode == dmDesigning;
  const int sides = FrameTyp & frbAll;
  if (!designing && sides == 0) return;
  const int right = Left + Width, bottom = Top + Height;
  if (designing && Width >= 1 && Height >= 1) {
    // Corner marks show where an object is on the design page.
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    auto mark = [&](int x, int y, int sx, int sy) {
      Canvas->MoveTo(x, y + 3 * sy);
      Canvas->LineTo(x, y);
      Canvas->LineTo(x + 4 * sx, y);
    };
    mark(Left, Top, 1, 1);
    mark(right, Top, -1, 1);
    mark(Left, bottom, 1, -1);
    mark(right, bottom, -1, -1);
  }
  if (sides == 0) return;
  Canvas->Pen()->SetColor(FrameColor);
  Canvas->Pen()->SetMode(pmCopy);
  if (sides == frbAll && FrameStyle == psSolid) {
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(FramePenWidth());
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(Left, Top, right + 1, bottom + 1);
    return;
  }
  if (sides & frbRight) FrameLine(right, Top, right, bottom, true);
  if (sides & frbLeft) FrameLine(Left, Top, Left, bottom, true);
  if (sides & frbBottom) FrameLine(Left, bottom, right, bottom, false);
  if (sides & frbTop) FrameLine(Left, Top, right, Top, false);
}

TRect TfrView::GetClipRegion(bool widen) {
  TRect r =
      Rect(frCoord(Left), frCoord(Top), frCoord(double(Left) + Width + 1), frCoord(double(Top) + Height + 1));
  const double reach = FrameStyle == frsDouble ? FrameWidth * 1.5 : FrameWidth / 2.0;
  const int grow = frCoord(std::ceil(std::max(0.0, reach)));
  if (FrameTyp & frbLeft) r.Left -= grow;
  if (FrameTyp & frbTop) r.Top -= grow;
  if (FrameTyp & frbRight) r.Right += grow;
  if (FrameTyp & frbBottom) r.Bottom += grow;
  if (widen) InflateRect(r, 10, 10);
  return r;
}

// ---- streams ----

void TfrView::LoadFromStream(TStream *stream) { frReadViewCommon(stream, this); }

void TfrView::SaveToStream(TStream *stream) { frWriteViewCommon(stream, this); }

void TfrView::PrintToStream(TStream *stream) {
  PreparedForm = true;
  frWriteViewEntry(stream, this);
}

// ---- script access ----

TfrViewKind TfrView::ViewKind() const { return TfrViewKind::Other; }

Variant TfrView::GetProperty(TfrViewProperty property) const {
  switch (property) {
  case vpLeft: return Variant(Left);
  case vpTop: return Variant(Top);
  case vpWidth: return Variant(Width);
  case vpHeight: return Variant(Height);
  case vpFlags: return Variant(int(Flags));
  case vpVisible: return Variant(Visible);
  case vpFrameTyp: return Variant(int(FrameTyp));
  case vpFrameWidth: return Variant(double(FrameWidth));
  case vpFrameColor: return Variant(FrameColor);
  case vpFillColor: return Variant(FillColor);
  case vpText: {
    QStringList lines;
    for (int i = 0; i < Memo.Count(); ++i) lines << Memo.Strings(i);
    return Variant(lines.join(QStringLiteral("\r\n")));
  }
  default: return Variant();
  }
}

void TfrView::SetProperty(TfrViewProperty property, const Variant &value) {
  switch (property) {
  case vpLeft: Left = value.ToInt(); break;
  case vpTop: Top = value.ToInt(); break;
  case vpWidth: Width = value.ToInt(); break;
  case vpHeight: Height = value.ToInt(); break;
  case vpFlags: Flags = quint16(value.ToInt()); break;
  case vpVisible: Visible = value.ToBool(); break;
  case vpFrameTyp: FrameTyp = quint16(value.ToInt()); break;
  case vpFrameWidth: FrameWidth = float(value.ToDouble()); break;
  case vpFrameColor: FrameColor = value.ToInt(); break;
  case vpFillColor: FillColor = value.ToInt(); break;
  case vpText: Memo.SetText(value.ToString()); break;
  default: break;
  }
}
