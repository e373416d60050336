#include "platform/widgets/std_combo_box.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/key_translation.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

class ComboBoxWidget;

// Draws the entries of an owner-drawn box through the control.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
  explicit OwnerDrawDelegate(QObject *parent, TWidgetBridge *bridge)
      : QStyledItemDelegate(parent), bridge_(bridge) {}
  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    if (auto *combo = dynamic_cast<TCustomComboBox *>(bridge_->Control())) {
      combo->PaintListItem(painter, option, index.row());
      return;
    }
    QStyledItemDelegate::paint(painter, option, index);
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    if (auto *combo = dynamic_cast<TCustomComboBox *>(bridge_->Control()))
      return QSize(option.rect.width(), combo->ListItemHeight(index.row()));
    return QStyledItemDelegate::sizeHint(option, index);
  }

private:
  TWidgetBridge *bridge_;
};

TCustomComboBox *OwnFrameCombo(const QWidget *Widget) {
  auto *combo = dynamic_cast<TCustomComboBox *>(FindControlOfWidget(Widget));
  return combo && combo->Widget() == Widget && combo->PaintsOwnFrame() ? combo : nullptr;
}

// Leaves the frame and the button out of a box that paints them itself, and lays its edit part and button out
// where the box says; everything else is the application style's.
class OwnFrameStyle : public QProxyStyle {
public:
  OwnFrameStyle() : QProxyStyle(static_cast<QStyle *>(nullptr)) {}

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                          const QWidget *widget) const override {
    if (control == CC_ComboBox && OwnFrameCombo(widget)) return;
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                       const QWidget *widget) const override {
    if (control == CC_ComboBox)
      if (TCustomComboBox *combo = OwnFrameCombo(widget)) {
        if (sub == SC_ComboBoxEditField) return combo->EditPartRect().ToQRect();
        if (sub == SC_ComboBoxArrow) return combo->ButtonRect().ToQRect();
        if (sub == SC_ComboBoxFrame) return combo->ClientRect().ToQRect();
      }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }

  SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                   const QPoint &pos, const QWidget *widget) const override {
    if (control == CC_ComboBox)
      if (TCustomComboBox *combo = OwnFrameCombo(widget))
        return combo->ButtonRect().ToQRect().contains(pos) ? SC_ComboBoxArrow : SC_ComboBoxEditField;
    return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
  }
};

OwnFrameStyle *TheOwnFrameStyle() {
  static QPointer<OwnFrameStyle> style;
  if (!style) {
    style = new OwnFrameStyle;
    style->setParent(qApp);
  }
  return style;
}

class ComboBoxWidget : public TControlWidget<QComboBox> {
public:
  using TControlWidget::TControlWidget;

  void showPopup() override {
    QPointer<QComboBox> self(this);
    if (auto *combo = Combo()) combo->SendNotification(CBN_DROPDOWN);
    if (self) QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    if (auto *combo = Combo()) combo->SendNotification(CBN_CLOSEUP);
  }

protected:
  void paintEvent(QPaintEvent *event) override {
    TCustomComboBox *combo = Combo();
    if (!combo || !combo->IsOwnerDraw() || isEditable()) {
      QComboBox::paintEvent(event);
      return;
    }
    // The frame and the button as the style has them; the shown entry drawn by the control.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    combo->PaintEditPart(&painter, field, hasFocus());
  }

private:
  TCustomComboBox *Combo() const { return dynamic_cast<TCustomComboBox *>(Control()); }
};

} // namespace

// ---- TComboBoxStrings ----

QString TComboBoxStrings::Strings(int Index) const {
  CheckIndex(Index, Count());
  return items_[Index].text;
}

TObject *TComboBoxStrings::Objects(int Index) const {
  CheckIndex(Index, Count());
  return items_[Index].object;
}

void TComboBoxStrings::SetObjects(int Index, TObject *AObject) {
  CheckIndex(Index, Count());
  items_[Index].object = AObject;
}

void TComboBoxStrings::Insert(int Index, const QString &S) { InsertObject(Index, S, nullptr); }

void TComboBoxStrings::InsertObject(int Index, const QString &S, TObject *AObject) {
  CheckIndex(Index, Count() + 1);
  items_.insert(Index, Item{S, AObject});
  combo_->ItemInserted(Index);
}

int TComboBoxStrings::Add(const QString &S) { return AddObject(S, nullptr); }

int TComboBoxStrings::AddObject(const QString &S, TObject *AObject) {
  int index = Count();
  if (combo_->Sorted()) {
    // After equal entries, as a sorted list box adds.
    index = 0;
    while (index < Count() && CompareStrings(items_[index].text, S) <= 0) ++index;
  }
  InsertObject(index, S, AObject);
  return index;
}

void TComboBoxStrings::Delete(int Index) {
  CheckIndex(Index, Count());
  items_.removeAt(Index);
  combo_->ItemDeleted(Index);
}

void TComboBoxStrings::Clear() {
  items_.clear();
  combo_->ItemsCleared();
}

// ---- TCustomComboBox ----

TCustomComboBox::TCustomComboBox(TComponent *AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TComboBoxStrings>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 145, 24);
  editHandle_ = AllocateHWnd([this](TMessage &Message) { EditWndProc(Message); });
}

TCustomComboBox::~TCustomComboBox() { DeallocateHWnd(editHandle_); }

HWND TCustomComboBox::EditHandle() const { return IsEditable() ? editHandle_ : 0; }

bool TCustomComboBox::IsEditable() const {
  const DWORD kind = (Widget() ? WindowParams().Style : DWORD(0)) & 0x3;
  if (Widget()) return kind == CBS_DROPDOWN || kind == CBS_SIMPLE;
  return style_ == csDropDown || style_ == csSimple;
}

bool TCustomComboBox::IsOwnerDraw() const {
  if (Widget()) return (WindowParams().Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
  return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
}

bool TCustomComboBox::IsVariableHeight() const {
  if (Widget()) return (WindowParams().Style & CBS_OWNERDRAWVARIABLE) != 0;
  return style_ == csOwnerDrawVariable;
}

QComboBox *TCustomComboBox::ComboWidget() const { return dynamic_cast<QComboBox *>(Widget()); }

QLineEdit *TCustomComboBox::EditWidget() const {
  QComboBox *combo = ComboWidget();
  return combo ? combo->lineEdit() : nullptr;
}

void TCustomComboBox::CreateParams(TCreateParams &Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
  switch (style_) {
  case csDropDown: Params.Style |= CBS_DROPDOWN; break;
  case csSimple: Params.Style |= CBS_SIMPLE; break;
  case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
  case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
  case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
  }
  if (sorted_) Params.Style |= CBS_SORT;
}

QWidget *TCustomComboBox::CreateWindowWidget(const TCreateParams &Params) {
  auto *widget = new ComboBoxWidget(this);
  const DWORD kind = Params.Style & 0x3;
  const bool editable = kind == CBS_DROPDOWN || kind == CBS_SIMPLE;
  widget->setEditable(editable);
  widget->setInsertPolicy(QComboBox::NoInsert);
  if (editable) {
    // Completion is the box's own (AutoComplete), as Windows has it.
    widget->setCompleter(nullptr);
    QObject::connect(widget->lineEdit(), &QLineEdit::textEdited, widget, [this, widget] {
      if (widget->Control() == this) SendNotification(CBN_EDITCHANGE);
    });
  }
  if (Params.Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
    widget->setItemDelegate(new OwnerDrawDelegate(widget, widget));
  if (PaintsOwnFrame()) widget->setStyle(TheOwnFrameStyle());
  // Without the 3-D look the box is flat: no frame of its own (an in-place editor's).
  widget->setFrame(Ctl3D());
  QObject::connect(widget, qOverload<int>(&QComboBox::activated), widget, [this, widget](int index) {
    if (widget->Control() != this || index == notifiedIndex_) return;
    notifiedIndex_ = index;
    SendNotification(CBN_SELCHANGE);
  });
  return widget;
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (!Widget()) return;
  canvas_->SetMeasureDevice(Widget());
  SyncWidgetItems();
  QComboBox *combo = ComboWidget();
  combo->setMaxVisibleItems(dropDownCount_);
  if (dropDownWidth_ > 0) combo->view()->setMinimumWidth(dropDownWidth_);
  if (QLineEdit *edit = EditWidget()) {
    const QSignalBlocker block(edit);
    edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    edit->setText(editText_);
  }
  notifiedIndex_ = itemIndex_;
}

void TCustomComboBox::DestroyWnd() {
  if (QComboBox *combo = ComboWidget()) {
    itemIndex_ = combo->currentIndex();
    if (QLineEdit *edit = EditWidget()) editText_ = edit->text();
  }
  canvas_->SetMeasureDevice(nullptr);
  TWinControl::DestroyWnd();
}

// Fills the widget's list from Items and selects ItemIndex, without notifications.
void TCustomComboBox::SyncWidgetItems() {
  QComboBox *combo = ComboWidget();
  if (!combo) return;
  const QSignalBlocker block(combo);
  combo->clear();
  for (const TComboBoxStrings::Item &item : std::as_const(items_->items_)) combo->addItem(item.text);
  combo->setCurrentIndex(itemIndex_);
}

void TCustomComboBox::ItemInserted(int Index) {
  int index = ItemIndex();
  if (index >= Index) ++index;
  QComboBox *combo = ComboWidget();
  if (!combo) {
    itemIndex_ = index;
    return;
  }
  // Qt selects the first entry of an empty list by itself, and changes the edit text; neither happens here.
  const QString text = EditWidget() ? EditWidget()->text() : QString();
  {
    const QSignalBlocker block(combo);
    combo->insertItem(Index, items_->items_[Index].text);
    combo->setCurrentIndex(index);
  }
  if (QLineEdit *edit = EditWidget()) {
    const QSignalBlocker block(edit);
    edit->setText(text);
  }
  notifiedIndex_ = index;
}

void TCustomComboBox::ItemDeleted(int Index) {
  int index = ItemIndex();
  if (index == Index)
    index = -1;
  else if (index > Index)
    --index;
  QComboBox *combo = ComboWidget();
  if (!combo) {
    itemIndex_ = index;
    return;
  }
  const QString text = EditWidget() ? EditWidget()->text() : QString();
  {
    const QSignalBlocker block(combo);
    combo->removeItem(Index);
    combo->setCurrentIndex(index);
  }
  if (QLineEdit *edit = EditWidget()) {
    const QSignalBlocker block(edit);
    edit->setText(text);
  }
  notifiedIndex_ = index;
}

void TCustomComboBox::ItemsCleared() {
  itemIndex_ = -1;
  notifiedIndex_ = -1;
  QComboBox *combo = ComboWidget();
  if (!combo) return;
  const QString text = EditWidget() ? EditWidget()->text() : QString();
  {
    const QSignalBlocker block(combo);
    combo->clear();
  }
  if (QLineEdit *edit = EditWidget()) {
    const QSignalBlocker block(edit);
    edit->setText(text);
  }
}

// -- properties --

int TCustomComboBox::ItemIndex() const {
  QComboBox *combo = ComboWidget();
  return combo ? combo->currentIndex() : itemIndex_;
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= items_->Count()) Value = -1;
  itemIndex_ = Value;
  notifiedIndex_ = Value;
  if (Value >= 0) editText_ = items_->Strings(Value);
  QComboBox *combo = ComboWidget();
  if (!combo) return;
  const QSignalBlocker block(combo);
  combo->setCurrentIndex(Value);
  // Selecting nothing empties the edit, as in Win32.
  if (Value < 0)
    if (QLineEdit *edit = EditWidget()) {
      const QSignalBlocker blockEdit(edit);
      edit->clear();
    }
  combo->update();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

bool TCustomComboBox::DroppedDown() const {
  QComboBox *combo = ComboWidget();
  return combo && combo->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  HandleNeeded();
  QComboBox *combo = ComboWidget();
  if (!combo || DroppedDown() == Value) return;
  if (Value)
    combo->showPopup();
  else
    combo->hidePopup();
}

void TCustomComboBox::SetDropDownCount(int Value) {
  dropDownCount_ = std::max(1, Value);
  if (QComboBox *combo = ComboWidget()) combo->setMaxVisibleItems(dropDownCount_);
}

void TCustomComboBox::SetDropDownWidth(int Value) {
  dropDownWidth_ = std::max(0, Value);
  if (QComboBox *combo = ComboWidget()) combo->view()->setMinimumWidth(dropDownWidth_);
}

int TCustomComboBox::ItemHeight() const {
  if (IsOwnerDraw()) return itemHeight_;
  return QFontMetrics(Font()->ToQFont()).height();
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0 || itemHeight_ == Value) return;
  itemHeight_ = Value;
  if (IsOwnerDraw()) RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value) {
  maxLength_ = std::max(0, Value);
  if (QLineEdit *edit = EditWidget()) edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TCustomComboBox::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  if (!Value) return;
  // Sorting keeps the selected entry selected.
  const QString selected = ItemIndex() >= 0 ? items_->Strings(ItemIndex()) : QString();
  const bool hadSelection = ItemIndex() >= 0;
  std::stable_sort(items_->items_.begin(), items_->items_.end(),
                   [this](const TComboBoxStrings::Item &a, const TComboBoxStrings::Item &b) {
                     return items_->CompareStrings(a.text, b.text) < 0;
                   });
  itemIndex_ = hadSelection ? FindExact(selected) : -1;
  if (ComboWidget()) {
    const QString text = EditWidget() ? EditWidget()->text() : QString();
    SyncWidgetItems();
    if (QLineEdit *edit = EditWidget()) {
      const QSignalBlocker block(edit);
      edit->setText(text);
    }
  }
  notifiedIndex_ = itemIndex_;
}

QString TCustomComboBox::GetText() const {
  if (QLineEdit *edit = EditWidget()) return edit->text();
  if (Widget()) {
    const int index = ItemIndex();
    return index >= 0 ? items_->Strings(index) : QString();
  }
  if (!IsEditable()) return itemIndex_ >= 0 ? items_->Strings(itemIndex_) : QString();
  return editText_;
}

void TCustomComboBox::SetTextBuf(const QString &Value) {
  if (!IsEditable()) {
    // A list-only box shows an entry: the one with that text.
    SetItemIndex(FindExact(Value));
    return;
  }
  editText_ = Value;
  if (QLineEdit *edit = EditWidget()) {
    const QSignalBlocker block(edit);
    edit->setText(Value);
  }
}

// -- selection in the edit --

int TCustomComboBox::SelStart() const {
  QLineEdit *edit = EditWidget();
  if (!edit) return 0;
  return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomComboBox::SetSelStart(int Value) {
  if (QLineEdit *edit = EditWidget()) edit->setCursorPosition(Value);
}

int TCustomComboBox::SelLength() const {
  QLineEdit *edit = EditWidget();
  return edit && edit->hasSelectedText() ? int(edit->selectedText().size()) : 0;
}

void TCustomComboBox::SetSelLength(int Value) {
  if (QLineEdit *edit = EditWidget()) edit->setSelection(SelStart(), std::max(0, Value));
}

QString TCustomComboBox::SelText() const {
  QLineEdit *edit = EditWidget();
  return edit ? edit->selectedText() : QString();
}

void TCustomComboBox::SelectAll() {
  if (QLineEdit *edit = EditWidget()) edit->selectAll();
}

// -- events --

void TCustomComboBox::SendNotification(WORD Code) { SendCommandNotification(this, Code); }

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index >= 0 && Index < items_->Count())
    canvas_->TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int &Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TCustomComboBox::ListItemHeight(int Index) {
  int height = ItemHeight();
  if (IsVariableHeight()) {
    try {
      MeasureItem(Index, height);
    } catch (...) {
      HandleCurrentException(this);
    }
  }
  return std::max(1, height);
}

// Draws one owner-drawn entry with the canvas on Painter; the canvas's brush and font colour are those of a
// selected or plain entry, as DrawItem expects them.
void TCustomComboBox::PaintListItem(QPainter *Painter, const QStyleOptionViewItem &Option, int Index) {
  TOwnerDrawState state;
  if (Option.state & QStyle::State_Selected) state.Include(odSelected);
  if (Option.state & QStyle::State_HasFocus) state.Include(odFocused);
  if (!(Option.state & QStyle::State_Enabled)) state.Include(odDisabled);
  QPaintDevice *device = canvas_->Device();
  canvas_->SetPainter(Painter);
  canvas_->SetFont(Font());
  canvas_->Brush()->SetStyle(bsSolid);
  canvas_->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : Color());
  if (state.Contains(odSelected)) canvas_->Font()->SetColor(clHighlightText);
  const TRect rect = TRect::FromQRect(Option.rect);
  try {
    DrawItem(Index, rect, state);
    if (state.Contains(odFocused)) canvas_->DrawFocusRect(rect);
  } catch (...) {
    HandleCurrentException(this);
  }
  canvas_->SetPainter(nullptr);
  if (device) canvas_->SetDevice(device);
}

void TCustomComboBox::PaintEditPart(QPainter *Painter, const QRect &Rect, bool Focused) {
  QPaintDevice *device = canvas_->Device();
  canvas_->SetPainter(Painter);
  DrawEditPart(TRect::FromQRect(Rect), Focused);
  canvas_->SetPainter(nullptr);
  if (device) canvas_->SetDevice(device);
}

void TCustomComboBox::DrawEditPart(const TRect &Rect, bool Focused) {
  TOwnerDrawState state{odComboBoxEdit};
  if (Focused) state.Include(odSelected).Include(odFocused);
  if (!Enabled()) state.Include(odDisabled);
  const int index = ItemIndex();
  canvas_->SetFont(Font());
  canvas_->Brush()->SetStyle(bsSolid);
  canvas_->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : Color());
  if (state.Contains(odSelected)) canvas_->Font()->SetColor(clHighlightText);
  try {
    if (index >= 0)
      DrawItem(index, Rect, state);
    else
      canvas_->FillRect(Rect);
    if (Focused) canvas_->DrawFocusRect(Rect);
  } catch (...) {
    HandleCurrentException(this);
  }
}

void TCustomComboBox::EditPartMoved() {
  if (QLineEdit *edit = EditWidget(); edit && PaintsOwnFrame()) edit->setGeometry(EditPartRect().ToQRect());
  if (QWidget *widget = Widget()) widget->update();
}

// -- typing --

int TCustomComboBox::FindPrefix(const QString &Prefix, int After) const {
  const int count = items_->Count();
  for (int step = 1; step <= count; ++step) {
    const int i = (After + step) % count;
    if (items_->Strings(i).startsWith(Prefix, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

int TCustomComboBox::FindExact(const QString &Text) const {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Strings(i).compare(Text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

// A list-only box: the typed character extends the search text (begun afresh after a pause) and selects the
// first entry that starts with it; a character that finds nothing starts the search again with itself,
// after the selected entry, so that one letter pressed again steps through the entries that start with it.
void TCustomComboBox::FindTyped(QChar Ch) {
  if (items_->Count() == 0) return;
  if (!searchTimer_.isValid() || searchTimer_.elapsed() >= QApplication::keyboardInputInterval())
    search_.clear();
  searchTimer_.restart();
  int found = FindPrefix(search_ + Ch);
  if (found >= 0) {
    search_ += Ch;
  } else {
    search_ = QString(Ch);
    found = FindPrefix(search_, ItemIndex());
  }
  if (found < 0 || found == ItemIndex()) return;
  SetItemIndex(found);
  SendNotification(CBN_SELCHANGE);
}

// An editable box: when the text with the typed character starts an entry, the text becomes that entry
// (what was typed keeps its case) with the completion selected. True when the character was used so.
bool TCustomComboBox::CompleteTyped(QChar Ch) {
  QLineEdit *edit = EditWidget();
  if (!autoComplete_ || !edit || items_->Count() == 0) return false;
  const QString text = edit->text();
  const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  const int end = edit->hasSelectedText() ? start + int(edit->selectedText().size()) : start;
  // Only typing at the end completes.
  if (end != text.size()) return false;
  const QString typed = text.left(start) + Ch;
  if (maxLength_ > 0 && typed.size() > maxLength_) return false;
  const int found = FindPrefix(typed);
  if (found < 0) return false;
  const QString entry = items_->Strings(found);
  const bool changed = found != ItemIndex();
  SetItemIndex(found);
  {
    const QSignalBlocker block(edit);
    edit->setText(typed + entry.mid(typed.size()));
    edit->setSelection(int(edit->text().size()), int(typed.size()) - int(edit->text().size()));
  }
  // As when the program selects an entry, no CBN_SELCHANGE: the box reports the choice itself.
  if (changed) {
    const std::weak_ptr<bool> token = AliveToken();
    Click();
    if (!token.expired()) Select();
  }
  return true;
}

bool TCustomComboBox::HandleKeyEvent(QKeyEvent *Event) {
  const bool saved = fromKeyboard_;
  fromKeyboard_ = true;
  const std::weak_ptr<bool> token = AliveToken();
  const bool result = TWinControl::HandleKeyEvent(Event);
  if (!token.expired()) fromKeyboard_ = saved;
  return result;
}

void TCustomComboBox::TypeSentKey(UINT Msg, WORD Key) {
  if (Msg == WM_CHAR) {
    QLineEdit *edit = EditWidget();
    if (!edit) return;
    const QChar ch{char16_t(Key)};
    if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F)
      edit->insert(QString(ch));
    else if (ch.unicode() == 0x08)
      edit->backspace();
    else
      return;
    SendNotification(CBN_EDITCHANGE);
    return;
  }
  // A key that types nothing (the arrows, ...) goes to the widget as a key press.
  if (Msg != WM_KEYDOWN) return;
  if (const int qtKey = QtKeyFromVirtualKey(Key)) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    CallNativeKey(&press);
  }
}

void TCustomComboBox::EditWndProc(TMessage &Message) {
  QLineEdit *edit = EditWidget();
  switch (Message.Msg) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    if (DoKeyDown(Message)) return;
    if (!fromKeyboard_) {
      TypeSentKey(Message.Msg, WORD(Message.WParam));
      return;
    }
    break;
  case WM_KEYUP:
  case WM_SYSKEYUP:
    if (DoKeyUp(Message)) return;
    break;
  case WM_CHAR: {
    if (DoKeyPress(Message)) return;
    QChar ch(char16_t(Message.WParam));
    if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F) {
      if (charCase_ == ecUpperCase) ch = ch.toUpper();
      if (charCase_ == ecLowerCase) ch = ch.toLower();
      Message.WParam = ch.unicode();
      const std::weak_ptr<bool> token = AliveToken();
      if (CompleteTyped(ch) || token.expired()) return;
    }
    if (!fromKeyboard_) {
      TypeSentKey(WM_CHAR, WORD(Message.WParam));
      return;
    }
    break;
  }
  case WM_PASTE:
    if (edit && !edit->isReadOnly() && ClipboardService().ClipboardHasText()) {
      // One line: what follows the first line break stays out.
      QString text = Clipboard()->AsText();
      const qsizetype lineBreak = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
      if (lineBreak >= 0) text.truncate(lineBreak);
      edit->insert(text);
    }
    return;
  case WM_COPY:
    if (edit && edit->hasSelectedText()) Clipboard()->SetAsText(edit->selectedText());
    return;
  case WM_CUT:
    if (edit && edit->hasSelectedText()) {
      Clipboard()->SetAsText(edit->selectedText());
      edit->del();
    }
    return;
  case WM_CLEAR:
    if (edit && edit->hasSelectedText()) edit->del();
    return;
  case EM_GETSEL: {
    const int start = SelStart();
    const int end = start + SelLength();
    if (auto *p = MessagePointer<DWORD>(Message.WParam)) *p = DWORD(start);
    if (auto *p = MessagePointer<DWORD>(std::uintptr_t(Message.LParam))) *p = DWORD(end);
    Message.Result = MAKELRESULT(start, end);
    return;
  }
  case EM_SETSEL:
    if (edit) {
      const int length = int(edit->text().size());
      const int start = int(std::intptr_t(Message.WParam));
      int end = int(Message.LParam);
      if (start < 0) {
        edit->deselect();
        return;
      }
      if (end < 0 || end > length) end = length;
      edit->setSelection(start, end - start);
    }
    return;
  default: break;
  }
  DefaultHandler(Message);
}

// The CB_ messages of Win32's combo box; true when handled.
bool TCustomComboBox::ComboMessage(TMessage &Message) {
  auto text = [&Message]() { return MessagePointer<const QString>(std::uintptr_t(Message.LParam)); };
  switch (Message.Msg) {
  case CB_GETCURSEL: Message.Result = ItemIndex(); return true;
  case CB_SETCURSEL:
    SetItemIndex(int(std::intptr_t(Message.WParam)));
    Message.Result = ItemIndex();
    return true;
  case CB_SHOWDROPDOWN: SetDroppedDown(Message.WParam != 0); return true;
  case CB_GETDROPPEDSTATE: Message.Result = DroppedDown() ? 1 : 0; return true;
  case CB_GETCOUNT: Message.Result = items_->Count(); return true;
  case CB_GETLBTEXT: {
    const int index = int(Message.WParam);
    if (index < 0 || index >= items_->Count()) {
      Message.Result = CB_ERR;
      return true;
    }
    if (auto *out = MessagePointer<QString>(std::uintptr_t(Message.LParam))) *out = items_->Strings(index);
    Message.Result = items_->Strings(index).size();
    return true;
  }
  case CB_ADDSTRING: Message.Result = text() ? items_->Add(*text()) : CB_ERR; return true;
  case CB_INSERTSTRING: {
    int index = int(std::intptr_t(Message.WParam));
    if (index < 0) index = items_->Count();
    if (text()) items_->Insert(index, *text());
    Message.Result = index;
    return true;
  }
  case CB_DELETESTRING:
    if (int(Message.WParam) < items_->Count()) items_->Delete(int(Message.WParam));
    Message.Result = items_->Count();
    return true;
  case CB_RESETCONTENT: items_->Clear(); return true;
  case CB_FINDSTRING:
    Message.Result = text() ? FindPrefix(*text(), int(std::intptr_t(Message.WParam))) : CB_ERR;
    return true;
  case CB_FINDSTRINGEXACT: Message.Result = text() ? FindExact(*text()) : CB_ERR; return true;
  case CB_SELECTSTRING: {
    const int found = text() ? FindPrefix(*text(), int(std::intptr_t(Message.WParam))) : -1;
    if (found >= 0) SetItemIndex(found);
    Message.Result = found;
    return true;
  }
  case CB_GETITEMHEIGHT: Message.Result = ItemHeight(); return true;
  case CB_SETITEMHEIGHT: SetItemHeight(int(Message.LParam)); return true;
  case CB_SETDROPPEDWIDTH: SetDropDownWidth(int(Message.WParam)); return true;
  case CB_LIMITTEXT: SetMaxLength(int(Message.WParam)); return true;
  case CB_GETEDITSEL: {
    const int start = SelStart();
    Message.Result = MAKELRESULT(start, start + SelLength());
    return true;
  }
  case CB_SETEDITSEL:
    if (QLineEdit *edit = EditWidget()) {
      const int start = std::int16_t(LOWORD(std::uintptr_t(Message.LParam)));
      int end = std::int16_t(HIWORD(std::uintptr_t(Message.LParam)));
      if (start < 0) {
        edit->deselect();
        return true;
      }
      if (end < 0) end = int(edit->text().size());
      edit->setSelection(start, end - start);
    }
    Message.Result = 1;
    return true;
  case CB_GETDROPPEDCONTROLRECT:
    if (auto *r = MessagePointer<TRect>(std::uintptr_t(Message.LParam))) {
      QComboBox *combo = ComboWidget();
      QWidget *popup = combo ? combo->view()->window() : nullptr;
      if (popup && popup->isVisible()) {
        *r = TRect::FromQRect(popup->frameGeometry());
      } else {
        const TPoint origin = ClientToScreen(TPoint{0, 0});
        *r = Bounds(origin.X, origin.Y, Width(), Height() + dropDownCount_ * ItemHeight());
      }
    }
    Message.Result = 1;
    return true;
  default: return false;
  }
}

void TCustomComboBox::MainWndProc(TMessage &Message) {
  if (Message.Msg != WM_PAINT || !CurrentPaintEvent() || !Widget()) {
    TWinControl::MainWndProc(Message);
    return;
  }
  // While WM_PAINT is handled, the canvas draws on the box (for descendants that paint it themselves).
  canvas_->SetDevice(Widget());
  canvas_->SetFont(Font());
  canvas_->Brush()->SetColor(Color());
  TWinControl::MainWndProc(Message);
  canvas_->SetDevice(nullptr);
  if (Widget()) canvas_->SetMeasureDevice(Widget());
}

void TCustomComboBox::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_KEYUP:
  case WM_SYSKEYUP:
  case WM_CHAR:
    if (IsEditable()) {
      EditWndProc(Message);
      return;
    }
    if (Message.Msg == WM_CHAR) {
      if (DoKeyPress(Message)) return;
      const QChar ch(char16_t(Message.WParam));
      // The list finds entries by the typed text.
      if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F) {
        FindTyped(ch);
        return;
      }
      DefaultHandler(Message);
      return;
    }
    if (Message.Msg == WM_KEYDOWN && !fromKeyboard_) {
      if (DoKeyDown(Message)) return;
      TypeSentKey(WM_KEYDOWN, WORD(Message.WParam));
      return;
    }
    TWinControl::WndProc(Message);
    return;
  case WM_PASTE:
  case WM_COPY:
  case WM_CUT:
  case WM_CLEAR:
  case EM_GETSEL:
  case EM_SETSEL:
    if (IsEditable()) EditWndProc(Message);
    return;
  case WM_GETDLGCODE:
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (IsEditable() ? DLGC_HASSETSEL : 0);
    return;
  case CN_COMMAND:
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
      const std::weak_ptr<bool> token = AliveToken();
      if (QLineEdit *edit = EditWidget(); edit && ItemIndex() >= 0) {
        const QSignalBlocker block(edit);
        edit->setText(items_->Strings(ItemIndex()));
      }
      Click();
      if (!token.expired()) Select();
      return;
    }
    case CBN_EDITCHANGE: Change(); return;
    case CBN_DROPDOWN: DropDown(); return;
    case CBN_CLOSEUP: CloseUp(); return;
    default: return;
    }
  case CM_FONTCHANGED:
    TWinControl::WndProc(Message);
    if (QComboBox *combo = ComboWidget()) combo->update();
    return;
  case CM_CTL3DCHANGED:
    TWinControl::WndProc(Message);
    if (QComboBox *combo = ComboWidget()) combo->setFrame(Ctl3D());
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS: {
    // The parent hears of the focus as Win32's box tells it.
    const WORD code = Message.Msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS;
    const std::weak_ptr<bool> token = AliveToken();
    TWinControl::WndProc(Message);
    if (!token.expired()) SendNotification(code);
    return;
  }
  default:
    if (ComboMessage(Message)) return;
    TWinControl::WndProc(Message);
    return;
  }
}
