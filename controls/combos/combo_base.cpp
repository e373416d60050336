#include "controls/combos/combo_base.h"

#include "controls/framework/controller.h"
#include "controls/framework/private_messages.h"
#include "controls/framework/timer_pool.h"
#include "platform/graphics/canvas.h"
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

// Lies over the box, letting the mouse through, and draws the frame, button and borders the box adds.
class ComboDecoration : public QWidget {
public:
  ComboDecoration(QWidget *Parent, TOvcBaseComboBox *Combo, std::weak_ptr<bool> Token)
      : QWidget(Parent), combo_(Combo), token_(std::move(Token)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

protected:
  void paintEvent(QPaintEvent *) override {
    if (token_.expired()) return;
    QPainter painter(this);
    combo_->PaintDecoration(painter);
  }

private:
  TOvcBaseComboBox *combo_;
  std::weak_ptr<bool> token_;
};

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
  if (decoration_) decoration_->setGeometry(0, 0, Width(), Height());
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
  Invalidate();
  if (decoration_) decoration_->update();
}

void TOvcBaseComboBox::SetHotTrackBorder(bool Value) {
  if (hotTrackBorder_ == Value) return;
  hotTrackBorder_ = Value;
  for (TOvcBorder *border :
       {borders_->LeftBorder(), borders_->RightBorder(), borders_->TopBorder(), borders_->BottomBorder()})
    border->SetEnabled(false);
}

void TOvcBaseComboBox::BordersChanged(TObject *) {
  const bool any = borders_->LeftBorder()->Enabled() || borders_->RightBorder()->Enabled() ||
                   borders_->TopBorder()->Enabled() || borders_->BottomBorder()->Enabled();
  if (any) {
    hotTrack_ = true;
    hotTrackBorder_ = false;
    ctl3D_ = false;
  } else {
    ctl3D_ = true;
    hotTrack_ = false;
    hotTrackBorder_ = false;
  }
  RecreateWnd();
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
  if (QWidget *widget = Widget()) {
    decoration_ = new ComboDecoration(widget, this, AliveToken());
    decoration_->setGeometry(0, 0, Width(), Height());
    decoration_->show();
    decoration_->raise();
  }
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
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    TCustomComboBox::WndProc(Message);
    if (hotTrack_) {
      mouseInside_ = Message.Msg == CM_MOUSEENTER;
      Invalidate();
      if (decoration_) decoration_->update();
    }
    return;
  default: TCustomComboBox::WndProc(Message);
  }
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
    if (Items()->Strings(i).compare(text, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

// -- selection --

void TOvcBaseComboBox::CloseUp() {
  TCustomComboBox::CloseUp();
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

// -- the hot-tracking look and the borders --

bool TOvcBaseComboBox::IsHot() const { return mouseInside_ || Focused() || DroppedDown(); }

void TOvcBaseComboBox::PaintDecoration(QPainter &Painter) {
  const int width = Width();
  const int height = Height();
  const auto line = [&Painter](TColor Color, int X1, int Y1, int X2, int Y2) {
    Painter.setPen(QPen(ColorToQColor(Color), 1));
    Painter.drawLine(X1, Y1, X2, Y2);
  };
  if (hotTrack_ && !ComponentState().Contains(csDesigning)) {
    const QRect button(width - 15, 0, 15, height);
    const int mid = height / 2;
    Painter.fillRect(button, ColorToQColor(clBtnFace));
    QPolygon arrow;
    if (IsHot()) {
      if (hotTrackBorder_) {
        line(htColors_->Shadow(), 0, 0, width - 1, 0);
        line(htColors_->Shadow(), 0, 0, 0, height - 1);
        line(htColors_->Highlight(), width - 1, 0, width - 1, height - 1);
        line(htColors_->Highlight(), 0, height - 1, width - 1, height - 1);
        Painter.setPen(QPen(ColorToQColor(Color()), 1));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawRect(1, 1, width - 3, height - 3);
      }
      line(clBtnHighlight, button.left(), 0, button.right(), 0);
      line(clBtnHighlight, button.left(), 0, button.left(), height - 1);
      line(clBtnShadow, button.right(), 0, button.right(), height - 1);
      line(clBtnShadow, button.left(), height - 1, button.right(), height - 1);
      arrow << QPoint(button.left() + 4, mid) << QPoint(button.left() + 6, mid + 2)
            << QPoint(button.left() + 8, mid);
    } else {
      arrow << QPoint(button.left() + 3, mid - 1) << QPoint(button.left() + 5, mid + 1)
            << QPoint(button.left() + 7, mid - 1);
    }
    Painter.setPen(QPen(Qt::black, 1));
    Painter.setBrush(Qt::black);
    Painter.drawPolygon(arrow);
  }
  const int buttonWidth = hotTrack_ ? 17 : 19;
  const auto draw = [&](const TOvcBorder *Border, int X1, int Y1, int X2, int Y2) {
    if (!Border->Enabled()) return;
    Painter.setPen(QPen(ColorToQColor(Border->PenColor()), Border->PenWidth(), Qt::SolidLine, Qt::FlatCap));
    Painter.drawLine(X1, Y1, X2, Y2);
  };
  const TOvcBorders *b = borders_.get();
  draw(b->LeftBorder(), b->LeftBorder()->PenWidth() / 2, 0, b->LeftBorder()->PenWidth() / 2, height);
  draw(b->TopBorder(), 0, b->TopBorder()->PenWidth() / 2, width, b->TopBorder()->PenWidth() / 2);
  const int right = width - buttonWidth - b->RightBorder()->PenWidth() / 2;
  draw(b->RightBorder(), right, 0, right, height);
  const int bottom = height - b->BottomBorder()->PenWidth() / 2;
  draw(b->BottomBorder(), 0, bottom, width, bottom);
}
