#include "controls/combos/combo_base.h"

#include "controls/framework/controller.h"
#include "controls/framework/private_messages.h"
#include "controls/framework/timer_pool.h"
#include "platform/graphics/canvas.h"
#include "platform/windowing/application.h"
#include "platform/windowing/shift_state.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include <QFontMetrics>
#include <QMetaObject>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QWidget>
#include <cstdint>

namespace {

// Keys that move, switch or modify rather than type: they leave an incremental search alone.
bool IsTypingKey(WORD Key) {
  if (Key >= VK_PRIOR && Key <= VK_DOWN) return false; // page, end, home, arrows
  if (Key >= VK_F1 && Key <= VK_F24) return false;
  switch (Key) {
  case VK_SHIFT:
  case VK_CONTROL:
  case VK_MENU:
  case VK_CAPITAL:
  case VK_NUMLOCK:
  case VK_SCROLL:
  case VK_TAB:
  case VK_ESCAPE:
  case VK_RETURN:
  case VK_INSERT:
  case VK_LWIN:
  case VK_RWIN:
  case VK_APPS:
  case VK_PAUSE: return false;
  default: return true;
  }
}

} // namespace

TOvcBaseComboBox::TOvcBaseComboBox(TComponent *AOwner)
    : TCustomComboBox(AOwner), labels_(this, false), mruList_(std::make_unique<TOvcMRUList>()),
      htColors_(std::make_unique<TOvcHTColors>()), borders_(std::make_unique<TOvcBorders>()) {
  // The box completes typed text itself, after KeyDelay.
  SetAutoComplete(false);
  TCustomComboBox::SetStyle(csOwnerDrawVariable);
  TCustomComboBox::SetDropDownCount(8);
  for (TOvcBorder *border :
       {borders_->LeftBorder(), borders_->RightBorder(), borders_->TopBorder(), borders_->BottomBorder()})
    border->OnChange = TNotifyEvent::From([this](TObject *Sender) { BordersChanged(Sender); });
  ItemHeightFromFont();
}

TOvcBaseComboBox::~TOvcBaseComboBox() { StopSearchDelay(); }

void TOvcBaseComboBox::BeforeDestruction() {
  StopSearchDelay();
  labels_.ControlDestroying();
  TCustomComboBox::BeforeDestruction();
}

void TOvcBaseComboBox::Loaded() {
  TCustomComboBox::Loaded();
  ItemHeightFromFont();
}

void TOvcBaseComboBox::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomComboBox::Notification(AComponent, Operation);
  labels_.Notification(AComponent, Operation);
}

void TOvcBaseComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  EditPartMoved();
  labels_.ControlMoved();
}

// -- properties --

void TOvcBaseComboBox::SetKeyDelay(int Value) {
  if (Value >= 0) keyDelay_ = Value;
}

void TOvcBaseComboBox::SetMRUListCount(int Value) {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDesigning)) {
    mruList_->SetMaxItems(Value);
    return;
  }
  const int shown = mruList_->Items()->Count();
  for (int i = 0; i < shown && Items()->Count() > 0; ++i) Items()->Delete(0);
  mruList_->SetMaxItems(Value);
  // The entries kept must show again at the top, or the next update would take real entries for them.
  for (int i = mruList_->Items()->Count() - 1; i >= 0; --i)
    Items()->InsertObject(0, mruList_->Items()->Strings(i), mruList_->Items()->Objects(i));
  Invalidate();
}

void TOvcBaseComboBox::SetMRUListColor(TColor Value) {
  if (mruListColor_ == Value) return;
  mruListColor_ = Value;
  Invalidate();
}

void TOvcBaseComboBox::SetStyle(TOvcComboStyle Value) {
  if (ovcStyle_ == Value) return;
  ovcStyle_ = Value;
  RecreateWnd();
}

void TOvcBaseComboBox::SetHotTrack(bool Value) {
  if (hotTrack_ == Value) return;
  hotTrack_ = Value;
  LookChanged();
}

void TOvcBaseComboBox::SetHotTrackBorder(bool Value) {
  if (hotTrackBorder_ == Value) return;
  hotTrackBorder_ = Value;
  for (TOvcBorder *border :
       {borders_->LeftBorder(), borders_->RightBorder(), borders_->TopBorder(), borders_->BottomBorder()})
    border->SetEnabled(false);
  LookChanged();
}

void TOvcBaseComboBox::BordersChanged(TObject *) {
  const bool any = borders_->LeftBorder()->Enabled() || borders_->RightBorder()->Enabled() ||
                   borders_->TopBorder()->Enabled() || borders_->BottomBorder()->Enabled();
  hotTrack_ = any;
  hotTrackBorder_ = false;
  SetCtl3D(!any);
  RecreateWnd();
  LookChanged();
}

void TOvcBaseComboBox::SetDropDownWidth(int Value) {
  dropDownWidth_ = Value;
  TCustomComboBox::SetDropDownWidth(Value == -1 ? 0 : Value);
}

void TOvcBaseComboBox::SetItemHeight(int Value) { TCustomComboBox::SetItemHeight(Value); }

void TOvcBaseComboBox::ItemHeightFromFont() {
  TCustomComboBox::SetItemHeight(std::max(1, QFontMetrics(Font()->ToQFont()).height() - 1));
}

// -- window --

void TOvcBaseComboBox::CreateParams(TCreateParams &Params) {
  TCustomComboBox::CreateParams(Params);
  Params.Style &= ~DWORD(0x3);
  Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS | CBS_OWNERDRAWVARIABLE |
                  (ovcStyle_ == ocsDropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
}

void TOvcBaseComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  if (savedItemIndex_ >= 0 && savedItemIndex_ < Items()->Count()) SetItemIndex(savedItemIndex_);
  savedItemIndex_ = -1;
  if (dropDownWidth_ != -1) TCustomComboBox::SetDropDownWidth(dropDownWidth_);
  EditPartMoved();
}

void TOvcBaseComboBox::DestroyWnd() {
  savedItemIndex_ = ItemIndex();
  TCustomComboBox::DestroyWnd();
}

void TOvcBaseComboBox::WndProc(TMessage &Message) {
  const bool handled = HandleLibraryControlMessage(
      this, labels_, Message, AfterEnter, AfterExit,
      [&](TShiftState Shift, int Delta, int X, int Y) {
        TCustomComboBox::WndProc(Message);
        if (OnMouseWheel) OnMouseWheel(this, Shift, Delta, X, Y);
      },
      [this](TMessage &M) { TCustomComboBox::WndProc(M); });
  if (handled) return;
  switch (Message.Msg) {
  case CM_FONTCHANGED:
    TCustomComboBox::WndProc(Message);
    ItemHeightFromFont();
    return;
  case WM_NCHITTEST:
    // The mouse over the box: hot, but only while the application is the active one.
    TCustomComboBox::WndProc(Message);
    if (hotTrack_ && Application()->Active()) SetMouseInside(true);
    return;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    TCustomComboBox::WndProc(Message);
    if (Message.LParam != 0 || !hotTrack_) return; // a child's notice, or no hot tracking
    if (Message.Msg == CM_MOUSELEAVE)
      SetMouseInside(false);
    else if (Application()->Active())
      SetMouseInside(true);
    return;
  case WM_PAINT:
    if (!Widget() || !CurrentPaintEvent()) break;
    PaintBox();
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS: {
    const std::weak_ptr<bool> token = AliveToken();
    TCustomComboBox::WndProc(Message);
    if (!token.expired()) Invalidate(); // hot while focused; a list's entry shows highlighted
    return;
  }
  case CM_CTL3DCHANGED:
    TCustomComboBox::WndProc(Message);
    LookChanged();
    return;
  default: break;
  }
  TCustomComboBox::WndProc(Message);
}

// -- the MRU list --

void TOvcBaseComboBox::AddItemToMRUList(int Index) {
  if (Index < 0 || Index >= Items()->Count()) return;
  const QString text = Items()->Strings(Index);
  TObject *object = Items()->Objects(Index);
  const int before = mruList_->Items()->Count();
  mruList_->NewItem(text, object);
  if (mruList_->Items()->Count() > before) Items()->InsertObject(0, text, object);
}

void TOvcBaseComboBox::UpdateMRUList(int Removed) {
  const QString text = Text();
  for (int i = 0; i < Removed && Items()->Count() > 0; ++i) Items()->Delete(0);
  mruList_->Shrink();
  for (int i = mruList_->Items()->Count() - 1; i >= 0; --i)
    Items()->InsertObject(0, mruList_->Items()->Strings(i), mruList_->Items()->Objects(i));
  const int found = FindTextExact();
  if (found >= 0) SetItemIndex(found);
  Invalidate();
}

void TOvcBaseComboBox::ClearMRUList() {
  const int shown = mruList_->Items()->Count();
  for (int i = 0; i < shown && Items()->Count() > 0; ++i) Items()->Delete(0);
  mruList_->Clear();
}

int TOvcBaseComboBox::FindTextPrefix() const {
  const QString text = Text();
  const int count = Items()->Count();
  const int first = mruList_->Items()->Count();
  for (int step = 0; step < count; ++step) {
    const int i = (first + step) % count;
    if (Items()->Strings(i).startsWith(text, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

int TOvcBaseComboBox::FindTextExact() const {
  const QString text = Text();
  const int count = Items()->Count();
  const int first = mruList_->Items()->Count();
  for (int step = 0; step < count; ++step) {
    const int i = (first + step) % count;
    if (Items()->Strings(i) == text) return i;
  }
  return -1;
}

// -- selection --

void TOvcBaseComboBox::DropDown() {
  TCustomComboBox::DropDown();
  Invalidate();
}

void TOvcBaseComboBox::CloseUp() {
  TCustomComboBox::CloseUp();
  Invalidate();
  // The list reports the entry clicked after it has closed: act once that has arrived.
  const std::weak_ptr<bool> token = AliveToken();
  if (QWidget *widget = Widget())
    QMetaObject::invokeMethod(
        widget,
        [this, token] {
          if (!token.expired()) ListClosed();
        },
        Qt::QueuedConnection);
}

void TOvcBaseComboBox::ListClosed() {
  const int index = ItemIndex();
  if (index < 0) return;
  const QString text = Items()->Strings(index);
  AddItemToMRUList(index);
  SetText(text);
  const std::weak_ptr<bool> token = AliveToken();
  Click();
  if (!token.expired()) SelectionChanged();
}

void TOvcBaseComboBox::SelectionChanged() {
  if (MRUListCount() < 1) {
    if (autoSearch_) {
      const int found = FindTextExact();
      if (found >= 0) SetItemIndex(found);
    }
  } else {
    UpdateMRUList(mruList_->Items()->Count());
  }
  if (OnSelectionChange) OnSelectionChange(this);
}

// -- keys and the incremental search --

void TOvcBaseComboBox::KeyDown(WORD &Key, TShiftState Shift) {
  if (Key == VK_BACK) backspaced_ = true;
  if (Key == VK_RETURN) {
    PickTypedEntry(true);
  } else if (IsTypingKey(Key)) {
    if (Key != VK_BACK) backspaced_ = false;
    if (autoSearch_) StartSearchDelay();
  }
  TCustomComboBox::KeyDown(Key, Shift);
}

// Enter: the entry the text starts becomes the text; Report fires the click and beeps when there is none.
void TOvcBaseComboBox::PickTypedEntry(bool Report) {
  const int found = FindTextPrefix();
  if (found < 0) {
    if (Report) MessageBeep(0);
    return;
  }
  const QString text = Items()->Strings(found);
  SetItemIndex(found);
  SetText(text);
  if (!Report) return;
  const std::weak_ptr<bool> token = AliveToken();
  Click();
  if (token.expired()) return;
  SetSelStart(int(text.size()));
  SetSelLength(0);
  SelectionChanged();
}

void TOvcBaseComboBox::StartSearchDelay() {
  StopSearchDelay();
  const std::weak_ptr<bool> token = AliveToken();
  searchTrigger_ = GetDefaultController()->TimerPool()->AddOneTime(
      TTriggerEvent::From([this, token](TObject *, int, quint32, int) {
        if (token.expired()) return;
        searchTrigger_ = -1;
        SearchTriggered();
      }),
      keyDelay_);
}

void TOvcBaseComboBox::StopSearchDelay() {
  if (searchTrigger_ == -1) return;
  GetDefaultController()->TimerPool()->Remove(searchTrigger_);
  searchTrigger_ = -1;
}

void TOvcBaseComboBox::SearchTriggered() {
  if (backspaced_ || !Widget()) return;
  const int typed = SelStart();
  if (Text().isEmpty()) return;
  PickTypedEntry(false);
  if (!IsEditable()) return;
  SetSelStart(typed);
  SetSelLength(int(Text().size()) - typed);
}

// -- drawing --

void TOvcBaseComboBox::MeasureItem(int Index, int &Height) {
  Height = ItemHeight();
  // Room for the separator line under the last MRU entry.
  if (Index >= 0 && Index == mruList_->Items()->Count() - 1) Height += 3;
  TCustomComboBox::MeasureItem(Index, Height);
}

void TOvcBaseComboBox::DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) {
  TCanvas *canvas = Canvas();
  const bool mru = Index >= 0 && Index < mruList_->Items()->Count() && !State.Contains(odComboBoxEdit);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : mru ? mruListColor_ : Color());
  canvas->FillRect(Rect);
  if (Index >= 0 && Index < Items()->Count()) {
    const QString text = Items()->Strings(Index);
    int bottom = Rect.Bottom;
    if (!State.Contains(odComboBoxEdit) && Index == mruList_->Items()->Count() - 1) bottom -= 3;
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(Rect.Left + 2, Rect.Top + (bottom - Rect.Top - canvas->TextHeight(text)) / 2, text);
    canvas->Brush()->SetStyle(bsSolid);
  }
  DrawMRUSeparator(Index, Rect, State);
}

void TOvcBaseComboBox::DrawMRUSeparator(int Index, const TRect &Rect, TOwnerDrawState State) {
  if (State.Contains(odComboBoxEdit) || !DroppedDown()) return;
  if (Index < 0 || Index != mruList_->Items()->Count() - 1) return;
  TCanvas *canvas = Canvas();
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Pen()->SetWidth(1);
  canvas->MoveTo(Rect.Left, Rect.Bottom - 3);
  canvas->LineTo(Rect.Right, Rect.Bottom - 3);
}

// -- the look --

void TOvcBaseComboBox::SetMouseInside(bool Value) {
  if (mouseInside_ == Value) return;
  mouseInside_ = Value;
  Invalidate();
}

bool TOvcBaseComboBox::IsHot() const { return mouseInside_ || Focused() || DroppedDown(); }

bool TOvcBaseComboBox::HotTrackLook() const { return hotTrack_ && !ComponentState().Contains(csDesigning); }

// The frame round the box: the 3-D look's sunken edge, the flat look's line, the hot-tracking frame (kept
// clear while the box is cold, so that the edit part stays in place).
int TOvcBaseComboBox::FrameWidth() const {
  if (HotTrackLook()) return hotTrackBorder_ ? 2 : 0;
  return Ctl3D() ? 2 : 1;
}

TRect TOvcBaseComboBox::ButtonRect() const {
  const int frame = FrameWidth();
  const int width = HotTrackLook() ? 15 : 17;
  return TRect{Width() - frame - width, frame, Width() - frame, Height() - frame};
}

TRect TOvcBaseComboBox::EditPartRect() const {
  const int inset = FrameWidth() + 1;
  return TRect{inset, inset, ButtonRect().Left - 1, Height() - inset};
}

void TOvcBaseComboBox::LookChanged() {
  EditPartMoved();
  Invalidate();
}

void TOvcBaseComboBox::PaintBox() {
  TCanvas *canvas = Canvas();
  const int width = Width();
  const int height = Height();
  const auto line = [canvas](TColor Color, int X1, int Y1, int X2, int Y2) {
    canvas->Pen()->SetColor(Color);
    canvas->MoveTo(X1, Y1);
    canvas->LineTo(X2, Y2);
  };
  // A black arrow pointing down: Width wide, its top row at (X, Y).
  const auto arrow = [canvas](int X, int Y, int ArrowWidth) {
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(clBlack);
    canvas->Polygon({{X, Y}, {X + ArrowWidth - 1, Y}, {X + ArrowWidth / 2, Y + ArrowWidth / 2}});
  };
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(TRect{0, 0, width, height});

  TRect button = ButtonRect();
  const bool dropped = DroppedDown();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(button);
  if (HotTrackLook()) {
    const bool hot = IsHot();
    if (hot && hotTrackBorder_) {
      // Outside a frame of the box's own colour, which the fill has drawn.
      line(htColors_->Shadow(), 0, height - 1, 0, 0);
      line(htColors_->Shadow(), 0, 0, width, 0);
      line(htColors_->Highlight(), width - 1, 0, width - 1, height);
      line(htColors_->Highlight(), 0, height - 1, width, height - 1);
    }
    const int mid = button.Top + button.Height() / 2;
    if (hot) {
      line(clBtnHighlight, button.Left, button.Bottom - 1, button.Left, button.Top);
      line(clBtnHighlight, button.Left, button.Top, button.Right, button.Top);
      line(clBtnShadow, button.Right - 1, button.Top, button.Right - 1, button.Bottom);
      line(clBtnShadow, button.Left, button.Bottom - 1, button.Right, button.Bottom - 1);
      arrow(button.Left + 4, mid, 5);
    } else {
      arrow(button.Left + 3, mid - 1, 5);
    }
  } else {
    if (Ctl3D()) {
      TRect edge{0, 0, width, height};
      DrawEdge(canvas, edge, EDGE_SUNKEN, BF_RECT);
    } else {
      canvas->Brush()->SetColor(clWindowFrame);
      canvas->FrameRect(TRect{0, 0, width, height});
    }
    // The button: raised, or pressed while the list is open; a flat box's has a plain line round it.
    TRect face = button;
    if (dropped || !Ctl3D()) {
      canvas->Brush()->SetColor(Ctl3D() ? clBtnShadow : clWindowFrame);
      canvas->FrameRect(face);
    } else {
      DrawEdge(canvas, face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    const int shift = dropped ? 1 : 0;
    arrow(button.Left + (button.Width() - 7) / 2 + shift, button.Top + (button.Height() - 4) / 2 + shift, 7);
  }
  if (!IsEditable()) DrawEditPart(EditPartRect(), Focused() && !dropped);
  PaintBorders();
}

void TOvcBaseComboBox::PaintBorders() {
  const int width = Width();
  const int height = Height();
  const int buttonWidth = hotTrack_ ? 17 : 19;
  QPainter *painter = Canvas()->Handle();
  painter->save();
  const auto draw = [painter](const TOvcBorder *Border, int X1, int Y1, int X2, int Y2) {
    if (!Border->Enabled()) return;
    painter->setPen(QPen(ColorToQColor(Border->PenColor()), Border->PenWidth(), Qt::SolidLine, Qt::FlatCap));
    painter->drawLine(X1, Y1, X2, Y2);
  };
  const TOvcBorders *b = borders_.get();
  draw(b->LeftBorder(), b->LeftBorder()->PenWidth() / 2, 0, b->LeftBorder()->PenWidth() / 2, height);
  draw(b->TopBorder(), 0, b->TopBorder()->PenWidth() / 2, width, b->TopBorder()->PenWidth() / 2);
  const int right = width - buttonWidth - b->RightBorder()->PenWidth() / 2;
  draw(b->RightBorder(), right, 0, right, height);
  const int bottom = height - b->BottomBorder()->PenWidth() / 2;
  draw(b->BottomBorder(), 0, bottom, width, bottom);
  painter->restore();
}
