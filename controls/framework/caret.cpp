#include "controls/framework/caret.h"
#include "platform/graphics/canvas.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/window_functions.h"
#include "platform/windowing/window_timer.h"

// ---- TOvcCaret ----

TOvcCaret::TOvcCaret() = default;
TOvcCaret::~TOvcCaret() = default;

void TOvcCaret::Release() {
  if (--refCount_ <= 0) delete this;
}

void TOvcCaret::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TOvcCaret *>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  align_ = other->align_;
  if (other->bitmap_) {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(other->bitmap_.get());
  } else {
    bitmap_.reset();
  }
  hotSpotX_ = other->hotSpotX_;
  hotSpotY_ = other->hotSpotY_;
  blinkTime_ = other->blinkTime_;
  height_ = other->height_;
  width_ = other->width_;
  isGray_ = other->isGray_;
  shape_ = other->shape_;
  Changed();
}

void TOvcCaret::Changed() {
  if (OnChange) OnChange(this);
}

void TOvcCaret::SetAlign(TOvcCaretAlign Value) {
  if (Value == align_) return;
  align_ = Value;
  Changed();
}

void TOvcCaret::SetBitmap(const TBitmap *Value) {
  if (!Value) return;
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  bitmap_->Assign(Value);
  if (shape_ == csBitmap) {
    width_ = bitmap_->Width();
    height_ = bitmap_->Height();
  }
  Changed();
}

void TOvcCaret::SetBitmapHotSpotX(int Value) {
  if (Value == hotSpotX_) return;
  hotSpotX_ = Value;
  if (shape_ == csBitmap) Changed();
}

void TOvcCaret::SetBitmapHotSpotY(int Value) {
  if (Value == hotSpotY_) return;
  hotSpotY_ = Value;
  if (shape_ == csBitmap) Changed();
}

void TOvcCaret::SetBlinkTime(WORD Value) {
  if (Value == blinkTime_) return;
  blinkTime_ = Value;
  Changed();
}

void TOvcCaret::SetCaretHeight(int Value) {
  if (Value < 1 || Value == height_) return;
  height_ = Value;
  Changed();
}

void TOvcCaret::SetCaretWidth(int Value) {
  if (Value < 1 || Value == width_) return;
  width_ = Value;
  Changed();
}

void TOvcCaret::SetIsGray(bool Value) {
  if (Value == isGray_) return;
  isGray_ = Value;
  Changed();
}

void TOvcCaret::SetShape(TOvcCaretShape Value) {
  shape_ = Value;
  switch (Value) {
  case csBlock: align_ = caLeft; break;
  case csHalfBlock: align_ = caBottom; break;
  case csVertLine:
    align_ = caLeft;
    width_ = 2;
    break;
  case csHorzLine:
    align_ = caBottom;
    height_ = 2;
    break;
  case csBitmap:
    if (bitmap_ && !bitmap_->Empty()) {
      width_ = bitmap_->Width();
      height_ = bitmap_->Height();
    }
    break;
  case csCustom: break;
  }
  Changed();
}

// ---- TOvcSingleCaret ----

TOvcSingleCaret::TOvcSingleCaret(TWinControl *Owner)
    : owner_(Owner), self_(std::make_shared<TOvcSingleCaret *>(this)) {}

TOvcSingleCaret::~TOvcSingleCaret() {
  StopTimer();
  *self_ = nullptr;
  if (caret_) {
    caret_->OnChange = nullptr;
    caret_->Release();
  }
}

void TOvcSingleCaret::SetCaret(TOvcCaret *Value) {
  if (Value == caret_) return;
  const bool wasLinked = linked_;
  if (wasLinked) Unlink();
  if (Value) {
    Value->AddRef();
    Value->OnChange = TNotifyEvent(this, &TOvcSingleCaret::CaretChanged);
  }
  TOvcCaret *old = caret_;
  caret_ = Value;
  if (old) {
    if (old->OnChange == TNotifyEvent(this, &TOvcSingleCaret::CaretChanged)) old->OnChange = nullptr;
    old->Release();
  }
  Recalc();
  if (wasLinked) Link();
}

void TOvcSingleCaret::CaretChanged(TObject *Sender) {
  if (Sender != caret_) return;
  const bool wasLinked = linked_;
  if (wasLinked) Unlink();
  Recalc();
  if (wasLinked) Link();
}

void TOvcSingleCaret::SetCellHeight(int Value) {
  if (Value < 1 || Value == cellHeight_) return;
  InvalidateCaret();
  cellHeight_ = Value;
  Recalc();
  InvalidateCaret();
}

void TOvcSingleCaret::SetCellWidth(int Value) {
  if (Value < 1 || Value == cellWidth_) return;
  InvalidateCaret();
  cellWidth_ = Value;
  Recalc();
  InvalidateCaret();
}

void TOvcSingleCaret::Recalc() {
  if (!caret_) {
    width_ = height_ = offsetX_ = offsetY_ = 0;
    return;
  }
  width_ = caret_->CaretWidth();
  height_ = caret_->CaretHeight();
  switch (caret_->Shape()) {
  case csBlock:
    width_ = cellWidth_;
    height_ = cellHeight_;
    break;
  case csHalfBlock:
    width_ = cellWidth_;
    height_ = cellHeight_ / 2;
    break;
  case csVertLine: height_ = cellHeight_; break;
  case csHorzLine: width_ = cellWidth_; break;
  case csCustom:
  case csBitmap: break;
  }
  const int centreX = (cellWidth_ - width_) / 2;
  const int centreY = (cellHeight_ - height_) / 2;
  switch (caret_->Align()) {
  case caLeft:
    offsetX_ = 0;
    offsetY_ = centreY;
    break;
  case caTop:
    offsetX_ = centreX;
    offsetY_ = 0;
    break;
  case caRight:
    offsetX_ = cellWidth_ - width_;
    offsetY_ = centreY;
    break;
  case caBottom:
    offsetX_ = centreX;
    offsetY_ = cellHeight_ - height_;
    break;
  case caCenter:
    offsetX_ = centreX;
    offsetY_ = centreY;
    break;
  }
  if (caret_->Shape() == csBitmap) {
    offsetX_ -= caret_->BitmapHotSpotX();
    offsetY_ -= caret_->BitmapHotSpotY();
  }
}

void TOvcSingleCaret::SetLinked(bool Value) {
  if (Value == linked_) return;
  if (Value)
    Link();
  else
    Unlink();
}

void TOvcSingleCaret::Link() {
  if (!owner_ || !owner_->HandleAllocated() || !caret_) return;
  linked_ = true;
  blinkOn_ = true;
  StartTimer();
  InvalidateCaret();
}

void TOvcSingleCaret::Unlink() {
  if (!linked_) return;
  InvalidateCaret();
  StopTimer();
  linked_ = false;
}

void TOvcSingleCaret::SetPosition(int X, int Y) {
  if (X < 0) X = kCaretOffWindow;
  if (Y < 0) Y = kCaretOffWindow;
  if (X == posX_ && Y == posY_) return;
  InvalidateCaret();
  posX_ = X;
  posY_ = Y;
  RestartBlink();
}

void TOvcSingleCaret::SetVisible(bool Value) {
  if (Value == visible_) return;
  InvalidateCaret();
  visible_ = Value;
  RestartBlink();
}

unsigned TOvcSingleCaret::BlinkInterval() const {
  if (caret_ && caret_->BlinkTime() != 0) return caret_->BlinkTime();
  return GetCaretBlinkTime();
}

TRect TOvcSingleCaret::CaretRect() const {
  if (!caret_ || posX_ == kCaretOffWindow || posY_ == kCaretOffWindow) return TRect{};
  return Bounds(posX_ + offsetX_, posY_ + offsetY_, width_, height_);
}

bool TOvcSingleCaret::Showing() const { return linked_ && visible_ && blinkOn_ && !CaretRect().IsEmpty(); }

void TOvcSingleCaret::Paint(TCanvas *Canvas, TColor Color) const {
  if (!Canvas || !Showing()) return;
  const TRect r = CaretRect();
  if (caret_->Shape() == csBitmap && caret_->Bitmap() && !caret_->Bitmap()->Empty()) {
    Canvas->Draw(r.Left, r.Top, caret_->Bitmap());
    return;
  }
  Canvas->Brush()->SetColor(caret_->IsGray() ? clGray : Color);
  Canvas->FillRect(r);
}

void TOvcSingleCaret::Blink() {
  if (!linked_) return;
  blinkOn_ = !blinkOn_;
  InvalidateCaret();
}

void TOvcSingleCaret::RestartBlink() {
  if (!linked_) return;
  blinkOn_ = true;
  InvalidateCaret();
  // The next turn comes a full interval after the caret moved or appeared.
  StartTimer();
}

void TOvcSingleCaret::StartTimer() {
  StopTimer();
  std::weak_ptr<TOvcSingleCaret *> weak = self_;
  timerId_ = SetTimer(0, 0, BlinkInterval(), [weak](HWND, UINT, std::uintptr_t, DWORD) {
    if (auto self = weak.lock(); self && *self) (*self)->Blink();
  });
}

void TOvcSingleCaret::StopTimer() {
  if (timerId_ != 0) KillTimer(0, timerId_);
  timerId_ = 0;
}

void TOvcSingleCaret::InvalidateCaret() {
  if (!linked_) return;
  const TRect r = CaretRect();
  if (!r.IsEmpty()) InvalidateArea(r);
}

void TOvcSingleCaret::InvalidateArea(const TRect &Rect) {
  if (owner_ && owner_->HandleAllocated()) owner_->InvalidateRect(&Rect);
}

// ---- TOvcCaretPair ----

TOvcCaretPair::TOvcCaretPair(TWinControl *Owner)
    : TOvcSingleCaret(Owner), caretIns_(new TOvcCaret), caretOvr_(new TOvcCaret) {
  caretIns_->AddRef();
  caretOvr_->AddRef();
  caretIns_->SetShape(csVertLine);
  caretOvr_->SetShape(csBlock);
  caretIns_->OnChange = TNotifyEvent(this, &TOvcCaretPair::CaretChanged);
  caretOvr_->OnChange = TNotifyEvent(this, &TOvcCaretPair::CaretChanged);
  SetCaret(caretIns_);
}

TOvcCaretPair::~TOvcCaretPair() {
  caretIns_->OnChange = nullptr;
  caretOvr_->OnChange = nullptr;
  caretIns_->Release();
  caretOvr_->Release();
}

void TOvcCaretPair::SetInsertMode(bool Value) {
  if (Value == insertMode_) return;
  insertMode_ = Value;
  SetCaret(insertMode_ ? caretIns_ : caretOvr_);
  // Both descriptions keep telling the pair of their changes.
  caretIns_->OnChange = TNotifyEvent(this, &TOvcCaretPair::CaretChanged);
  caretOvr_->OnChange = TNotifyEvent(this, &TOvcCaretPair::CaretChanged);
}

void TOvcCaretPair::SetCaretIns(const TOvcCaret *Value) {
  if (Value && Value != caretIns_) caretIns_->Assign(Value);
}

void TOvcCaretPair::SetCaretOvr(const TOvcCaret *Value) {
  if (Value && Value != caretOvr_) caretOvr_->Assign(Value);
}
