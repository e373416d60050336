// The class library's edit controls over Qt's text widgets:
//   TCustomEdit / TEdit          one line of text (QLineEdit);
//   TCustomMemo / TMemo          several lines (QPlainTextEdit), its Lines a TStrings;
//   TCustomMaskEdit / TMaskEdit  one line with an edit mask (edit_mask.h), translated to Qt's input mask.
//
// Keys reach the edit as window messages (WM_KEYDOWN, WM_CHAR, ...), so that OnKeyDown and OnKeyPress can
// change or swallow them before the text changes, and a descendant's WndProc sees them first. As in Win32,
// Ctrl+V, Ctrl+X, Ctrl+C and Ctrl+Z (and Shift+Insert, Shift+Delete, Ctrl+Insert) become WM_PASTE, WM_CUT,
// WM_COPY and WM_UNDO sent to the edit itself, and those messages work through the clipboard service. Every
// change of the text, typed or set, reaches the parent as EN_CHANGE, which fires OnChange. Keyboard messages
// that the program sends or posts (WM_CHAR, and WM_KEYDOWN of keys that type nothing) act as typed keys do.
//
// The edit's own context menu (Undo, Cut, Copy, Paste, Delete, Select All: shown when the control has no
// PopupMenu) sends those messages too.
//
// MaxLength limits what the user types or pastes; a longer text set by the program is kept whole (as
// Win32's edit does), so nothing is cut off without the user's doing.
//
// Positions (SelStart, SelLength, EM_GETSEL, EM_SETSEL) count characters of Text; in a memo a line break
// counts as the two characters of its "\r\n", as in Win32.
#pragma once
#include "platform/core/string_list.h"
#include "platform/widgets/edit_mask.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include <memory>

class QLineEdit;
class QPlainTextEdit;

// ---- TCustomEdit ----

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent *AOwner);
  ~TCustomEdit() override;
  QString ClassName() const override { return QStringLiteral("TCustomEdit"); }
  void WndProc(TMessage &Message) override;

  // -- properties --
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value) { autoSelect_ = Value; }
  // The height follows the font.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  // The most characters the user can type or paste; 0 for no limit.
  int MaxLength() const { return maxLength_; }
  virtual void SetMaxLength(int Value);
  // Whether the user changed the text since it was last set or the flag was cleared.
  bool Modified() const;
  void SetModified(bool Value);
  // The character shown for each character of the text (a null character: the text itself).
  QChar PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(QChar Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);

  // -- selection --
  virtual int SelStart() const;
  virtual void SetSelStart(int Value);
  virtual int SelLength() const;
  virtual void SetSelLength(int Value);
  QString SelText() const;
  // Replaces the selection (or inserts at the caret).
  void SetSelText(const QString &Value);
  void SelectAll();

  // -- clipboard and undo --
  void CopyToClipboard() { SendToSelf(WM_COPY); }
  void CutToClipboard() { SendToSelf(WM_CUT); }
  void PasteFromClipboard() { SendToSelf(WM_PASTE); }
  void Clear() { SetText(QString()); }
  bool CanUndo() const;
  void Undo() { SendToSelf(WM_UNDO); }

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  void CreateParams(TCreateParams &Params) override;
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  QString GetText() const override;
  void SetTextBuf(const QString &Value) override;

  // The line edit showing the text (the widget itself, or the edit part of a compound widget), nullptr
  // without a window. A memo has none.
  virtual QLineEdit *LineEdit() const;
  // Applies the properties to the widget (after creation and when one changes).
  virtual void UpdateWidget();
  // Makes the height follow the font when AutoSize is on.
  void AdjustHeight();
  // The text as it stands in the widget (or as stored without one), and replacing it without notice to the
  // undo history.
  virtual QString WidgetText() const;
  virtual void SetWidgetText(const QString &Value);
  // Inserts Text at the selection as typed or pasted input: cut to what MaxLength leaves room for.
  virtual void InsertText(const QString &Text);
  // Positions of the selection (start and end, start <= end), in Text's characters.
  virtual void GetSelection(int &Start, int &End) const;
  virtual void SetSelection(int Start, int End);
  virtual bool WidgetModified() const;
  virtual void SetWidgetModified(bool Value);
  virtual void WidgetUndo();
  virtual bool WidgetCanUndo() const;
  // The character a typed key becomes under CharCase.
  QChar ApplyCharCase(QChar Ch) const;
  QString ApplyCharCase(const QString &Text) const;
  // Room left for typed characters under MaxLength (replacing the selection); a large number without limit.
  int RoomLeft() const;
  // The text area's margins inside the widget (EM_SETRECT).
  virtual void SetTextMargins(const TRect &Margins);
  virtual TRect TextRect() const;
  // EM_ and clipboard messages; true when handled.
  virtual bool EditMessage(TMessage &Message);
  // The change notification from the widget.
  void WidgetTextChanged();
  // WM_CHAR once the key press has passed OnKeyPress: the clipboard keys, CharCase, MaxLength and ReadOnly,
  // then the widget's own typing.
  virtual void ProcessCharacter(TMessage &Message);
  bool HandleKeyEvent(QKeyEvent *Event) override;
  // Whether the keyboard message being handled came from a key of the keyboard (else it was sent or posted
  // by the program, and the edit types it itself).
  bool FromKeyboard() const { return fromKeyboard_; }
  // A key or character sent or posted by the program: typed as the keyboard would type it.
  void TypeSentKey(UINT Msg, WORD Key);

  bool creatingWidget_ = false;
  // The widget's text while there is no widget (a masked edit's edit text).
  QString storedText_;
  // The text the last change notification was sent for.
  QString notifiedText_;

private:
  void KeepSelectionAcrossFocusLoss(TMessage &Message);
  void UpdateSelectionColors();

  bool autoSelect_ = true;
  bool autoSize_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  int maxLength_ = 0;
  QChar passwordChar_;
  bool readOnly_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool modified_ = false; // without a window
  int savedSelStart_ = 0;
  int savedSelEnd_ = 0;
  bool haveMargins_ = false;
  TRect margins_;
  bool fromKeyboard_ = false;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
  QString ClassName() const override { return QStringLiteral("TEdit"); }
};

// ---- TCustomMemo ----

class TCustomMemo;

// The lines of a memo, read from and written to its text.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo *Memo) : memo_(Memo) {}
  QString ClassName() const override { return QStringLiteral("TMemoStrings"); }
  int Count() const override;
  QString Strings(int Index) const override;
  void SetStrings(int Index, const QString &S) override;
  void Insert(int Index, const QString &S) override;
  void Delete(int Index) override;
  void Clear() override;
  void SetText(const QString &Value) override;

private:
  QStringList Lines() const;
  void SetLines(const QStringList &Lines, bool FinalBreak);
  TCustomMemo *memo_;
};

class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent *AOwner);
  ~TCustomMemo() override;
  QString ClassName() const override { return QStringLiteral("TCustomMemo"); }
  void WndProc(TMessage &Message) override;

  // The text's lines (logical lines: word wrapping does not split them).
  TStrings *Lines() { return lines_.get(); }
  void SetLines(const TStrings *Value) { lines_->Assign(Value); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // Enter types a line break (else it goes to the form: the default button).
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  // Tab types a tab character (else it moves the focus).
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  // The caret's line and column (0-based).
  TPoint CaretPos() const;

protected:
  void KeyPress(QChar &Key) override;
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  QLineEdit *LineEdit() const override { return nullptr; }
  void UpdateWidget() override;
  QString WidgetText() const override;
  void SetWidgetText(const QString &Value) override;
  void InsertText(const QString &Text) override;
  void GetSelection(int &Start, int &End) const override;
  void SetSelection(int Start, int End) override;
  bool WidgetModified() const override;
  void SetWidgetModified(bool Value) override;
  void WidgetUndo() override;
  bool WidgetCanUndo() const override;
  void SetTextMargins(const TRect &Margins) override;
  bool EditMessage(TMessage &Message) override;
  void ProcessCharacter(TMessage &Message) override;

private:
  friend class TMemoStrings;
  QPlainTextEdit *TextEdit() const;
  int ToDocumentPosition(int Position) const;
  int FromDocumentPosition(int Position) const;

  std::unique_ptr<TMemoStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
  QString ClassName() const override { return QStringLiteral("TMemo"); }
};

// ---- TCustomMaskEdit ----

// The message of the error raised when a masked edit is left incomplete.
extern const char *const SMaskEditErr;

TALLYROOK_EXCEPTION(EDBEditError, Exception)

class TCustomMaskEdit : public TCustomEdit {
public:
  explicit TCustomMaskEdit(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomMaskEdit"); }
  void WndProc(TMessage &Message) override;

  QString EditMask() const { return mask_.Mask(); }
  // A mask TEditMask refuses raises its error and leaves the edit as it was.
  void SetEditMask(const QString &Value);
  const TEditMask &Mask() const { return mask_; }
  bool IsMasked() const { return !mask_.IsEmpty(); }
  // The text as shown, blanks included ("12/__/2024").
  QString EditText() const;
  void SetEditText(const QString &Value);
  // Raises EDBEditError when a required position is blank (the caret goes there).
  virtual void ValidateEdit();
  // Restores the text the edit had when it received the focus.
  void Reset();

protected:
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  QString GetText() const override;
  void SetTextBuf(const QString &Value) override;
  void UpdateWidget() override;
  void InsertText(const QString &Text) override;
  void SetWidgetText(const QString &Value) override;
  // The edit text of the widget (or as stored).
  QString CurrentEditText() const;

private:
  TEditMask mask_;
  QString textOnEnter_;
  bool reEntering_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
public:
  using TCustomMaskEdit::TCustomMaskEdit;
  QString ClassName() const override { return QStringLiteral("TMaskEdit"); }
};
