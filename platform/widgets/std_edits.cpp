#include "platform/widgets/std_edits.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/key_translation.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>

const char *const SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

namespace {

constexpr QChar kParagraphSeparator(0x2029);
constexpr QChar kLineSeparator(0x2028);

// Shows a chosen character in place of each character of a password edit.
class PasswordStyle : public QProxyStyle {
public:
  explicit PasswordStyle(QChar ch) : ch_(ch) {}
  int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                QStyleHintReturn *returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return ch_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

private:
  QChar ch_;
};

// One style per password character, living as long as the application.
QStyle *PasswordStyleFor(QChar ch) {
  static QHash<char16_t, QPointer<QProxyStyle>> styles;
  QPointer<QProxyStyle> &style = styles[ch.unicode()];
  if (!style) {
    style = new PasswordStyle(ch);
    style->setParent(qApp);
  }
  return style;
}

Qt::Alignment QtAlignment(TAlignment alignment) {
  switch (alignment) {
  case taRightJustify: return Qt::AlignRight;
  case taCenter: return Qt::AlignHCenter;
  default: return Qt::AlignLeft;
  }
}

bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

// Text with Win32 line breaks ("\r\n") from a text document's plain text.
QString ToWindowsBreaks(QString text) {
  text.replace(kParagraphSeparator, QLatin1Char('\n'));
  text.replace(kLineSeparator, QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

// Text with "\n" breaks for a text document, from any of "\r\n", "\n" and "\r".
QString ToDocumentBreaks(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The edit's own context menu, as Win32's edit has it; its entries send the control the messages Win32's
// edit sends itself (so that a descendant sees them, and the clipboard service is used).
void ShowEditMenu(TCustomEdit *edit, const QPoint &globalPos) {
  const HWND handle = edit->Handle();
  const bool hasSelection = edit->SelLength() > 0;
  const bool writable = !edit->ReadOnly();
  const bool hidden = !edit->PasswordChar().isNull();
  auto *menu = new QMenu;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  auto add = [menu, handle](const QString &text, UINT msg, bool enabled, WPARAM wParam = 0,
                            LPARAM lParam = 0) {
    QAction *action = menu->addAction(text);
    action->setEnabled(enabled);
    QObject::connect(action, &QAction::triggered, menu,
                     [handle, msg, wParam, lParam] { SendMessage(handle, msg, wParam, lParam); });
  };
  add(QStringLiteral("&Undo"), WM_UNDO, writable && edit->CanUndo());
  menu->addSeparator();
  add(QStringLiteral("Cu&t"), WM_CUT, writable && hasSelection && !hidden);
  add(QStringLiteral("&Copy"), WM_COPY, hasSelection && !hidden);
  add(QStringLiteral("&Paste"), WM_PASTE, writable && ClipboardService().ClipboardHasText());
  add(QStringLiteral("&Delete"), WM_CLEAR, writable && hasSelection);
  menu->addSeparator();
  add(QStringLiteral("Select &All"), EM_SETSEL, !edit->Text().isEmpty(), 0, -1);
  menu->popup(globalPos);
}

class LineEditWidget : public TControlWidget<QLineEdit> {
public:
  using TControlWidget::TControlWidget;

protected:
  void contextMenuEvent(QContextMenuEvent *event) override {
    auto *edit = dynamic_cast<TCustomEdit *>(Control());
    if (!edit) {
      QLineEdit::contextMenuEvent(event);
      return;
    }
    ShowEditMenu(edit, event->globalPos());
  }
};

// The memo's widget: a plain-text edit whose text area (the viewport) hands its mouse events to the control
// as the edit's own, and whose text margins can be set.
class MemoWidget : public TControlWidget<QPlainTextEdit> {
public:
  using TControlWidget::TControlWidget;
  bool NativeEvent(QEvent *event) override {
    if (event == viewportEvent_) return QPlainTextEdit::viewportEvent(event);
    return TControlWidget::NativeEvent(event);
  }
  void SetMargins(const QMargins &margins) { setViewportMargins(margins); }
  QMargins Margins() const { return viewportMargins(); }

protected:
  void contextMenuEvent(QContextMenuEvent *event) override {
    auto *edit = dynamic_cast<TCustomEdit *>(Control());
    if (!edit) {
      QPlainTextEdit::contextMenuEvent(event);
      return;
    }
    ShowEditMenu(edit, event->globalPos());
  }
  bool viewportEvent(QEvent *event) override {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu: {
      QEvent *saved = viewportEvent_;
      viewportEvent_ = event;
      const bool result = Forward(event);
      viewportEvent_ = saved;
      return result;
    }
    default: return QPlainTextEdit::viewportEvent(event);
    }
  }

private:
  QEvent *viewportEvent_ = nullptr;
};

} // namespace

// ---- TCustomEdit ----

TCustomEdit::TCustomEdit(TComponent *AOwner) : TWinControl(AOwner) {
  controlStyle_ = {csClickEvents, csSetCaption, csDoubleClicks};
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 121, 21);
  AdjustHeight();
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams &Params) {
  TWinControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

QWidget *TCustomEdit::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new LineEditWidget(this);
  QObject::connect(widget, &QLineEdit::textChanged, widget, [this, widget] {
    if (widget->Control() == this) WidgetTextChanged();
  });
  return widget;
}

void TCustomEdit::CreateWnd() {
  creatingWidget_ = true;
  struct Done {
    bool &flag;
    ~Done() { flag = false; }
  } done{creatingWidget_};
  TWinControl::CreateWnd();
  if (!Widget()) return;
  UpdateWidget();
  SetWidgetText(storedText_);
  SetWidgetModified(modified_);
  SetSelection(savedSelStart_, savedSelEnd_);
  notifiedText_ = GetText();
}

void TCustomEdit::DestroyWnd() {
  if (Widget()) {
    storedText_ = WidgetText();
    modified_ = WidgetModified();
    GetSelection(savedSelStart_, savedSelEnd_);
  }
  TWinControl::DestroyWnd();
}

QLineEdit *TCustomEdit::LineEdit() const { return dynamic_cast<QLineEdit *>(Widget()); }

void TCustomEdit::UpdateWidget() {
  QLineEdit *edit = LineEdit();
  if (!edit) return;
  edit->setFrame(borderStyle_ == bsSingle);
  edit->setReadOnly(readOnly_);
  if (passwordChar_.isNull()) {
    edit->setEchoMode(QLineEdit::Normal);
  } else {
    edit->setStyle(PasswordStyleFor(passwordChar_));
    edit->setEchoMode(QLineEdit::Password);
  }
  edit->setAlignment(QtAlignment(alignment_) | Qt::AlignVCenter);
  if (haveMargins_) edit->setTextMargins(margins_.Left, margins_.Top, margins_.Right, margins_.Bottom);
  UpdateSelectionColors();
}

void TCustomEdit::UpdateSelectionColors() {
  QWidget *w = Widget();
  if (!w) return;
  QPalette palette = w->palette();
  const QPalette system = QApplication::palette();
  // The selection is not shown while the edit does not have the focus.
  const bool hidden = !Focused();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Highlight,
                     hidden ? palette.color(group, QPalette::Base)
                            : system.color(group, QPalette::Highlight));
    palette.setColor(group, QPalette::HighlightedText,
                     hidden ? palette.color(group, QPalette::Text)
                            : system.color(group, QPalette::HighlightedText));
  }
  w->setPalette(palette);
}

QString TCustomEdit::WidgetText() const {
  if (QLineEdit *edit = LineEdit()) return edit->text();
  return storedText_;
}

void TCustomEdit::SetWidgetText(const QString &Value) {
  if (QLineEdit *edit = LineEdit())
    edit->setText(Value);
  else
    storedText_ = Value;
}

QString TCustomEdit::GetText() const { return Widget() ? WidgetText() : storedText_; }

void TCustomEdit::SetTextBuf(const QString &Value) {
  const QString text = ApplyCharCase(Value);
  if (Widget())
    SetWidgetText(text);
  else
    storedText_ = text;
  modified_ = false;
}

void TCustomEdit::WidgetTextChanged() {
  if (creatingWidget_) return;
  // Qt reports some edits that change nothing (a refused character in a masked edit); Win32 does not.
  const QString now = GetText();
  if (now == notifiedText_) return;
  notifiedText_ = now;
  SendCommandNotification(this, EN_CHANGE);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// -- properties --

void TCustomEdit::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  AdjustHeight();
}

void TCustomEdit::AdjustHeight() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  const QFontMetrics metrics(Font()->ToQFont());
  SetHeight(metrics.height() + (borderStyle_ == bsSingle ? 8 : 2));
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  UpdateWidget();
  AdjustHeight();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  if (Value != ecNormal) {
    const QString cased = ApplyCharCase(GetText());
    if (cased != GetText()) SetTextBuf(cased);
  }
}

void TCustomEdit::SetMaxLength(int Value) { maxLength_ = std::max(0, Value); }

bool TCustomEdit::Modified() const { return Widget() ? WidgetModified() : modified_; }

void TCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  if (Widget()) SetWidgetModified(Value);
}

bool TCustomEdit::WidgetModified() const {
  QLineEdit *edit = LineEdit();
  return edit ? edit->isModified() : modified_;
}

void TCustomEdit::SetWidgetModified(bool Value) {
  if (QLineEdit *edit = LineEdit()) edit->setModified(Value);
}

void TCustomEdit::SetPasswordChar(QChar Value) {
  if (passwordChar_ == Value) return;
  passwordChar_ = Value;
  UpdateWidget();
}

void TCustomEdit::SetReadOnly(bool Value) {
  readOnly_ = Value;
  UpdateWidget();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  UpdateWidget();
}

QChar TCustomEdit::ApplyCharCase(QChar Ch) const {
  switch (charCase_) {
  case ecUpperCase: return Ch.toUpper();
  case ecLowerCase: return Ch.toLower();
  default: return Ch;
  }
}

QString TCustomEdit::ApplyCharCase(const QString &Text) const {
  switch (charCase_) {
  case ecUpperCase: return Text.toUpper();
  case ecLowerCase: return Text.toLower();
  default: return Text;
  }
}

int TCustomEdit::RoomLeft() const {
  if (maxLength_ <= 0) return INT_MAX;
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  return std::max(0, maxLength_ - (int(GetText().size()) - (end - start)));
}

// -- selection --

void TCustomEdit::GetSelection(int &Start, int &End) const {
  QLineEdit *edit = LineEdit();
  if (!edit) {
    Start = savedSelStart_;
    End = savedSelEnd_;
    return;
  }
  if (edit->hasSelectedText()) {
    Start = edit->selectionStart();
    End = edit->selectionEnd();
  } else {
    Start = End = edit->cursorPosition();
  }
}

void TCustomEdit::SetSelection(int Start, int End) {
  const int length = int(GetText().size());
  Start = std::clamp(Start, 0, length);
  End = std::clamp(End, 0, length);
  QLineEdit *edit = LineEdit();
  if (!edit) {
    savedSelStart_ = std::min(Start, End);
    savedSelEnd_ = std::max(Start, End);
    return;
  }
  if (Start == End)
    edit->setCursorPosition(Start);
  else
    edit->setSelection(Start, End - Start);
}

int TCustomEdit::SelStart() const {
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  return start;
}

void TCustomEdit::SetSelStart(int Value) { SetSelection(Value, Value); }

int TCustomEdit::SelLength() const {
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  return end - start;
}

void TCustomEdit::SetSelLength(int Value) {
  const int start = SelStart();
  SetSelection(start, start + std::max(0, Value));
}

QString TCustomEdit::SelText() const {
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  return GetText().mid(start, end - start);
}

void TCustomEdit::SetSelText(const QString &Value) {
  HandleNeeded();
  InsertText(Value);
}

void TCustomEdit::SelectAll() { SetSelection(0, int(GetText().size())); }

bool TCustomEdit::CanUndo() const { return Widget() && WidgetCanUndo(); }

bool TCustomEdit::WidgetCanUndo() const {
  QLineEdit *edit = LineEdit();
  return edit && edit->isUndoAvailable();
}

void TCustomEdit::WidgetUndo() {
  if (QLineEdit *edit = LineEdit()) edit->undo();
}

void TCustomEdit::InsertText(const QString &Text) {
  QLineEdit *edit = LineEdit();
  if (!edit) return;
  QString text = Text;
  // One line: what follows the first line break stays out.
  const qsizetype lineBreak = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (lineBreak >= 0) text.truncate(lineBreak);
  text = ApplyCharCase(text).left(RoomLeft());
  edit->insert(text);
}

void TCustomEdit::SetTextMargins(const TRect &Margins) {
  haveMargins_ = true;
  margins_ = Margins;
  UpdateWidget();
}

TRect TCustomEdit::TextRect() const {
  const TRect client = ClientRect();
  if (!haveMargins_) return client;
  return Rect(margins_.Left, margins_.Top, client.Right - margins_.Right, client.Bottom - margins_.Bottom);
}

// -- messages --

void TCustomEdit::KeepSelectionAcrossFocusLoss(TMessage &Message) {
  // Qt drops a line edit's selection when it loses the focus; Win32 keeps it, hidden.
  int start = 0;
  int end = 0;
  const bool had = Widget() != nullptr;
  if (had) GetSelection(start, end);
  const std::weak_ptr<bool> token = AliveToken();
  TWinControl::WndProc(Message);
  if (token.expired() || !had || !Widget()) return;
  int nowStart = 0;
  int nowEnd = 0;
  GetSelection(nowStart, nowEnd);
  if (nowStart != start || nowEnd != end) {
    const QSignalBlocker block(Widget());
    SetSelection(start, end);
  }
  UpdateSelectionColors();
}

bool TCustomEdit::EditMessage(TMessage &Message) {
  switch (Message.Msg) {
  case WM_PASTE:
    if (!readOnly_ && Widget() && ClipboardService().ClipboardHasText()) InsertText(Clipboard()->AsText());
    return true;
  case WM_COPY:
    if (passwordChar_.isNull() && SelLength() > 0) Clipboard()->SetAsText(SelText());
    return true;
  case WM_CUT:
    if (SelLength() > 0 && passwordChar_.isNull()) {
      Clipboard()->SetAsText(SelText());
      if (!readOnly_) InsertText(QString());
    }
    return true;
  case WM_CLEAR:
    if (!readOnly_ && SelLength() > 0) InsertText(QString());
    return true;
  case WM_UNDO:
  case EM_UNDO:
    Message.Result = Widget() && WidgetCanUndo() ? 1 : 0;
    if (!readOnly_) WidgetUndo();
    return true;
  case EM_CANUNDO: Message.Result = CanUndo() ? 1 : 0; return true;
  case EM_GETSEL: {
    int start = 0;
    int end = 0;
    GetSelection(start, end);
    if (auto *p = MessagePointer<DWORD>(Message.WParam)) *p = DWORD(start);
    if (auto *p = MessagePointer<DWORD>(std::uintptr_t(Message.LParam))) *p = DWORD(end);
    Message.Result = MAKELRESULT(start, end);
    return true;
  }
  case EM_SETSEL: {
    // Win32: a start of -1 removes the selection, an end of -1 means the end of the text.
    const int length = int(GetText().size());
    const int start = int(std::intptr_t(Message.WParam));
    int end = int(Message.LParam);
    if (start == -1) {
      const int caret = SelStart() + SelLength();
      SetSelection(caret, caret);
      return true;
    }
    if (end < 0 || end > length) end = length;
    SetSelection(start, end);
    return true;
  }
  case EM_REPLACESEL:
    if (auto *text = MessagePointer<const QString>(std::uintptr_t(Message.LParam))) {
      HandleNeeded();
      InsertText(*text);
    }
    return true;
  case EM_GETMODIFY: Message.Result = Modified() ? 1 : 0; return true;
  case EM_SETMODIFY: SetModified(Message.WParam != 0); return true;
  case EM_LIMITTEXT: SetMaxLength(int(Message.WParam)); return true;
  case EM_SETREADONLY:
    SetReadOnly(Message.WParam != 0);
    Message.Result = 1;
    return true;
  case EM_SETPASSWORDCHAR: SetPasswordChar(QChar(char16_t(Message.WParam))); return true;
  case EM_GETPASSWORDCHAR: Message.Result = passwordChar_.unicode(); return true;
  case EM_SETRECT:
  case EM_SETRECTNP:
    if (auto *r = MessagePointer<const TRect>(std::uintptr_t(Message.LParam))) {
      const TRect client = ClientRect();
      SetTextMargins(Rect(r->Left, r->Top, client.Right - r->Right, client.Bottom - r->Bottom));
    }
    return true;
  case EM_GETRECT:
    if (auto *r = MessagePointer<TRect>(std::uintptr_t(Message.LParam))) *r = TextRect();
    return true;
  case EM_SCROLLCARET: return true;
  default: return false;
  }
}

bool TCustomEdit::HandleKeyEvent(QKeyEvent *Event) {
  const bool saved = fromKeyboard_;
  fromKeyboard_ = true;
  const std::weak_ptr<bool> token = AliveToken();
  const bool result = TWinControl::HandleKeyEvent(Event);
  if (!token.expired()) fromKeyboard_ = saved;
  return result;
}

void TCustomEdit::TypeSentKey(UINT Msg, WORD Key) {
  if (!Widget()) return;
  if (Msg == WM_CHAR) {
    const QChar ch{char16_t(Key)};
    if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F) {
      InsertText(QString(ch));
    } else if (ch.unicode() == 0x08 && !readOnly_) {
      if (SelLength() == 0) SetSelection(std::max(0, SelStart() - 1), SelStart());
      InsertText(QString());
    }
    return;
  }
  // A key that types nothing (the arrows, Home, Delete, ...) goes to the widget as a key press.
  if (const int qtKey = QtKeyFromVirtualKey(Key)) {
    Qt::KeyboardModifiers modifiers;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= Qt::ShiftModifier;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= Qt::ControlModifier;
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    if (Msg == WM_KEYDOWN) CallNativeKey(&press);
  }
}

void TCustomEdit::ProcessCharacter(TMessage &Message) {
  const QChar ch(char16_t(Message.WParam));
  switch (ch.unicode()) {
  case 0x16: SendToSelf(WM_PASTE); return; // Ctrl+V
  case 0x18: SendToSelf(WM_CUT); return;   // Ctrl+X
  case 0x03: SendToSelf(WM_COPY); return;  // Ctrl+C
  case 0x1A: SendToSelf(WM_UNDO); return;  // Ctrl+Z
  default: break;
  }
  if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F) {
    if (readOnly_) return;
    if (RoomLeft() < 1) {
      MessageBeep(0);
      return;
    }
    Message.WParam = ApplyCharCase(ch).unicode();
  }
  if (!fromKeyboard_) {
    TypeSentKey(WM_CHAR, WORD(Message.WParam));
    return;
  }
  DefaultHandler(Message);
}

void TCustomEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN: {
    if (DoKeyDown(Message)) return;
    // The clipboard keys of Win32's edit.
    const WORD key = WORD(Message.WParam);
    const bool shift = ShiftDown();
    const bool ctrl = CtrlDown();
    if (key == VK_INSERT && shift && !ctrl) {
      SendToSelf(WM_PASTE);
      return;
    }
    if (key == VK_DELETE && shift && !ctrl) {
      SendToSelf(WM_CUT);
      return;
    }
    if (key == VK_INSERT && ctrl && !shift) {
      SendToSelf(WM_COPY);
      return;
    }
    if (!fromKeyboard_) {
      TypeSentKey(WM_KEYDOWN, key);
      return;
    }
    DefaultHandler(Message);
    return;
  }
  case WM_CHAR:
    if (DoKeyPress(Message)) return;
    ProcessCharacter(Message);
    return;
  case WM_GETDLGCODE: Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; return;
  case WM_SETFOCUS:
    TWinControl::WndProc(Message);
    UpdateSelectionColors();
    return;
  case WM_KILLFOCUS: KeepSelectionAcrossFocusLoss(Message); return;
  case CM_ENTER:
    // A click places the caret where it went; entering by keyboard selects the whole text.
    if (autoSelect_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) SelectAll();
    TWinControl::WndProc(Message);
    return;
  case CM_FONTCHANGED:
    TWinControl::WndProc(Message);
    AdjustHeight();
    return;
  case CN_COMMAND:
    if (HIWORD(Message.WParam) == EN_CHANGE && !creatingWidget_) Change();
    return;
  default:
    if (EditMessage(Message)) return;
    TWinControl::WndProc(Message);
    return;
  }
}

// ---- TMemoStrings ----

QStringList TMemoStrings::Lines() const {
  const QString text = memo_->Text();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1String("\r\n"));
  // A final line break ends the last line; it does not start an empty one.
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TMemoStrings::SetLines(const QStringList &Lines, bool FinalBreak) {
  QString text = Lines.join(QLatin1String("\r\n"));
  if (FinalBreak && !Lines.isEmpty()) text += QLatin1String("\r\n");
  memo_->SetText(text);
}

int TMemoStrings::Count() const { return int(Lines().size()); }

QString TMemoStrings::Strings(int Index) const {
  const QStringList lines = Lines();
  CheckIndex(Index, int(lines.size()));
  return lines[Index];
}

void TMemoStrings::SetStrings(int Index, const QString &S) {
  QStringList lines = Lines();
  CheckIndex(Index, int(lines.size()));
  lines[Index] = S;
  SetLines(lines, memo_->Text().endsWith(QLatin1String("\r\n")));
}

void TMemoStrings::Insert(int Index, const QString &S) {
  QStringList lines = Lines();
  CheckIndex(Index, int(lines.size()) + 1);
  const bool finalBreak = memo_->Text().endsWith(QLatin1String("\r\n"));
  lines.insert(Index, S);
  // Lines added at the end stay lines of their own: the text ends with a line break after them.
  SetLines(lines, finalBreak || Index == lines.size() - 1);
}

void TMemoStrings::Delete(int Index) {
  QStringList lines = Lines();
  CheckIndex(Index, int(lines.size()));
  const bool finalBreak = memo_->Text().endsWith(QLatin1String("\r\n"));
  lines.removeAt(Index);
  SetLines(lines, finalBreak);
}

void TMemoStrings::Clear() { memo_->SetText(QString()); }

void TMemoStrings::SetText(const QString &Value) { memo_->SetText(Value); }

// ---- TCustomMemo ----

TCustomMemo::TCustomMemo(TComponent *AOwner)
    : TCustomEdit(AOwner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetAutoSize(false);
  SetAutoSelect(false);
  SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

QWidget *TCustomMemo::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new MemoWidget(this);
  widget->setTabChangesFocus(true);
  QObject::connect(widget, &QPlainTextEdit::textChanged, widget, [this, widget] {
    if (widget->Control() == this) WidgetTextChanged();
  });
  return widget;
}

QPlainTextEdit *TCustomMemo::TextEdit() const { return dynamic_cast<QPlainTextEdit *>(Widget()); }

void TCustomMemo::UpdateWidget() {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) return;
  edit->setFrameShape(BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
  edit->setReadOnly(ReadOnly());
  edit->setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  const bool horizontal = (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_;
  edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  QTextOption option = edit->document()->defaultTextOption();
  Qt::Alignment alignment = Qt::AlignLeft;
  if (Alignment() == taRightJustify) alignment = Qt::AlignRight;
  if (Alignment() == taCenter) alignment = Qt::AlignHCenter;
  option.setAlignment(alignment);
  edit->document()->setDefaultTextOption(option);
  TCustomEdit::UpdateWidget();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  UpdateWidget();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  UpdateWidget();
}

QString TCustomMemo::WidgetText() const {
  if (QPlainTextEdit *edit = TextEdit()) return ToWindowsBreaks(edit->document()->toRawText());
  return TCustomEdit::WidgetText();
}

void TCustomMemo::SetWidgetText(const QString &Value) {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) {
    TCustomEdit::SetWidgetText(Value);
    return;
  }
  edit->setPlainText(ToDocumentBreaks(Value));
  edit->document()->setModified(false);
}

int TCustomMemo::ToDocumentPosition(int Position) const {
  const QString text = GetText();
  int document = 0;
  for (int i = 0; i < Position && i < text.size(); ++i) {
    // "\r\n" is one character of the document.
    if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
      ++i;
      if (i >= Position) {
        ++document;
        break;
      }
    }
    ++document;
  }
  return document;
}

int TCustomMemo::FromDocumentPosition(int Position) const {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) return Position;
  const QTextBlock block = edit->document()->findBlock(Position);
  // Every block before this one ends with a line break that Text counts twice.
  return Position + std::max(0, block.blockNumber());
}

void TCustomMemo::GetSelection(int &Start, int &End) const {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) {
    TCustomEdit::GetSelection(Start, End);
    return;
  }
  const QTextCursor cursor = edit->textCursor();
  Start = FromDocumentPosition(cursor.selectionStart());
  End = FromDocumentPosition(cursor.selectionEnd());
}

void TCustomMemo::SetSelection(int Start, int End) {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) {
    TCustomEdit::SetSelection(Start, End);
    return;
  }
  const int length = int(GetText().size());
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(ToDocumentPosition(std::clamp(Start, 0, length)));
  cursor.setPosition(ToDocumentPosition(std::clamp(End, 0, length)), QTextCursor::KeepAnchor);
  edit->setTextCursor(cursor);
}

bool TCustomMemo::WidgetModified() const {
  QPlainTextEdit *edit = TextEdit();
  return edit ? edit->document()->isModified() : TCustomEdit::WidgetModified();
}

void TCustomMemo::SetWidgetModified(bool Value) {
  if (QPlainTextEdit *edit = TextEdit()) edit->document()->setModified(Value);
}

void TCustomMemo::WidgetUndo() {
  if (QPlainTextEdit *edit = TextEdit()) edit->undo();
}

bool TCustomMemo::WidgetCanUndo() const {
  QPlainTextEdit *edit = TextEdit();
  return edit && edit->document()->isUndoAvailable();
}

void TCustomMemo::InsertText(const QString &Text) {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) return;
  QString text = ApplyCharCase(ToWindowsBreaks(ToDocumentBreaks(Text)));
  const int room = RoomLeft();
  if (text.size() > room) {
    text.truncate(room);
    // Half a line break is no line break.
    if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
  }
  edit->textCursor().insertText(ToDocumentBreaks(text));
  edit->ensureCursorVisible();
}

void TCustomMemo::SetTextMargins(const TRect &Margins) {
  if (auto *memo = dynamic_cast<MemoWidget *>(Widget()))
    memo->SetMargins(QMargins(Margins.Left, Margins.Top, Margins.Right, Margins.Bottom));
  TCustomEdit::SetTextMargins(Margins);
}

TPoint TCustomMemo::CaretPos() const {
  QPlainTextEdit *edit = TextEdit();
  if (!edit) return {};
  const QTextCursor cursor = edit->textCursor();
  return {cursor.positionInBlock(), cursor.blockNumber()};
}

bool TCustomMemo::EditMessage(TMessage &Message) {
  QPlainTextEdit *edit = TextEdit();
  switch (Message.Msg) {
  case EM_GETLINECOUNT: Message.Result = edit ? edit->document()->blockCount() : 1; return true;
  case EM_LINEINDEX: {
    if (!edit) return true;
    const int line =
        int(std::intptr_t(Message.WParam)) == -1 ? edit->textCursor().blockNumber() : int(Message.WParam);
    const QTextBlock block = edit->document()->findBlockByNumber(line);
    Message.Result = block.isValid() ? FromDocumentPosition(block.position()) : -1;
    return true;
  }
  case EM_LINEFROMCHAR: {
    if (!edit) return true;
    const int position = int(std::intptr_t(Message.WParam)) == -1 ? SelStart() : int(Message.WParam);
    Message.Result = edit->document()->findBlock(ToDocumentPosition(position)).blockNumber();
    return true;
  }
  case EM_LINELENGTH: {
    if (!edit) return true;
    Message.Result = edit->document()->findBlock(ToDocumentPosition(int(Message.WParam))).length() - 1;
    return true;
  }
  case EM_SCROLLCARET:
    if (edit) edit->ensureCursorVisible();
    return true;
  default: return TCustomEdit::EditMessage(Message);
  }
}

void TCustomMemo::KeyPress(QChar &Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == QLatin1Char('\r') && !wantReturns_) Key = QChar();
}

void TCustomMemo::ProcessCharacter(TMessage &Message) {
  const QChar ch(char16_t(Message.WParam));
  // Enter, Ctrl+Enter and Tab type into the memo as Win32's multi-line edit has them.
  if (ch != QLatin1Char('\r') && ch != QLatin1Char('\n') && ch != QLatin1Char('\t')) {
    TCustomEdit::ProcessCharacter(Message);
    return;
  }
  if (ReadOnly() || (ch == QLatin1Char('\t') && !wantTabs_)) return;
  const QString text = ch == QLatin1Char('\t') ? QStringLiteral("\t") : QStringLiteral("\r\n");
  if (RoomLeft() < text.size()) {
    MessageBeep(0);
    return;
  }
  InsertText(text);
}

void TCustomMemo::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE: {
    LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    if (wantReturns_) code |= DLGC_WANTALLKEYS;
    if (wantTabs_) code |= DLGC_WANTTAB;
    Message.Result = code;
    return;
  }
  default: TCustomEdit::WndProc(Message); return;
  }
}

// ---- TCustomMaskEdit ----

TCustomMaskEdit::TCustomMaskEdit(TComponent *AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const QString &Value) {
  if (Value == mask_.Mask()) return;
  const QString text = GetText();
  mask_ = TEditMask(Value);
  if (QLineEdit *edit = LineEdit()) {
    const QSignalBlocker block(edit);
    edit->setInputMask(mask_.QtInputMask());
  }
  const QString newText = IsMasked() ? mask_.EditTextFor(text) : text;
  creatingWidget_ = true;
  SetWidgetText(newText);
  creatingWidget_ = false;
  notifiedText_ = GetText();
}

void TCustomMaskEdit::UpdateWidget() {
  TCustomEdit::UpdateWidget();
  QLineEdit *edit = LineEdit();
  if (!edit) return;
  const QString qtMask = mask_.QtInputMask();
  if (edit->inputMask() != qtMask) {
    const QSignalBlocker block(edit);
    edit->setInputMask(qtMask);
  }
}

QString TCustomMaskEdit::CurrentEditText() const {
  QLineEdit *edit = LineEdit();
  if (!edit) return storedText_;
  if (!IsMasked()) return edit->text();
  // Qt's text() drops the blanks; the display text keeps every position (a hidden text is read back from
  // what text() keeps).
  if (edit->echoMode() == QLineEdit::Normal) return edit->displayText();
  return mask_.EditTextFor(mask_.TextOf(mask_.EditTextFor(edit->text())));
}

QString TCustomMaskEdit::EditText() const { return CurrentEditText(); }

void TCustomMaskEdit::SetEditText(const QString &Value) {
  SetWidgetText(IsMasked() ? Value.left(mask_.Length()) : Value);
}

QString TCustomMaskEdit::GetText() const {
  if (!IsMasked()) return TCustomEdit::GetText();
  return mask_.TextOf(CurrentEditText());
}

void TCustomMaskEdit::SetTextBuf(const QString &Value) {
  if (!IsMasked()) {
    TCustomEdit::SetTextBuf(Value);
    return;
  }
  SetWidgetText(mask_.EditTextFor(ApplyCharCase(Value)));
}

void TCustomMaskEdit::SetWidgetText(const QString &Value) {
  QLineEdit *edit = LineEdit();
  if (!edit || !IsMasked()) {
    TCustomEdit::SetWidgetText(Value);
    return;
  }
  const QString before = CurrentEditText();
  {
    // Qt's setText shifts the characters after a blank of a required position; each character goes to its
    // own position instead.
    const QSignalBlocker block(edit);
    edit->setText(QString());
    for (int i = 0; i < Value.size() && i < mask_.Length(); ++i) {
      if (mask_.Positions()[i].IsLiteral() || Value[i] == mask_.Blank()) continue;
      edit->setCursorPosition(i);
      edit->insert(QString(Value[i]));
    }
    edit->setCursorPosition(0);
    edit->setModified(false);
  }
  if (CurrentEditText() != before) WidgetTextChanged();
}

void TCustomMaskEdit::InsertText(const QString &Text) {
  if (!IsMasked()) {
    TCustomEdit::InsertText(Text);
    return;
  }
  if (QLineEdit *edit = LineEdit()) edit->insert(ApplyCharCase(Text));
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  const int missing = mask_.FirstMissing(CurrentEditText());
  if (missing < 0) return;
  MessageBeep(0);
  if (Widget()) SetSelection(missing, missing);
  throw EDBEditError(QString::fromLatin1(SMaskEditErr));
}

void TCustomMaskEdit::Reset() {
  if (!IsMasked() || !Modified()) return;
  SetWidgetText(textOnEnter_);
  SetModified(false);
}

void TCustomMaskEdit::KeyDown(WORD &Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_ESCAPE && Shift.Empty() && IsMasked() && Modified()) {
    Reset();
    Key = 0;
  }
}

void TCustomMaskEdit::KeyPress(QChar &Key) {
  TCustomEdit::KeyPress(Key);
  // The Escape that undid the typing types nothing.
  if (Key == QChar(0x1B) && IsMasked()) Key = QChar();
}

void TCustomMaskEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_WANTSPECIALKEY:
    // Escape undoes the typing of a changed masked edit instead of reaching the cancel button.
    if (Message.WParam == VK_ESCAPE && IsMasked() && Modified()) {
      Message.Result = 1;
      return;
    }
    TCustomEdit::WndProc(Message);
    return;
  case CM_ENTER:
    // Coming back after a refused exit keeps the text to return to with Escape.
    if (!reEntering_) textOnEnter_ = CurrentEditText();
    reEntering_ = false;
    TCustomEdit::WndProc(Message);
    return;
  case CM_EXIT:
    if (IsMasked() && Modified()) {
      try {
        ValidateEdit();
      } catch (...) {
        if (CanFocus()) {
          reEntering_ = true;
          SetFocus();
          reEntering_ = false;
        }
        throw;
      }
    }
    TCustomEdit::WndProc(Message);
    return;
  default: TCustomEdit::WndProc(Message); return;
  }
}
