// The string cell (one line of text, edited in a single-line edit) and the memo cell (word-wrapped text,
// edited in a memo). Both paint through the text cell base; they add the in-place editor.
//
// Values are `QString`s (see base_string_cell.h). A MaxLength of 0 means no limit: the editor accepts any
// length, and the whole text goes back.
#pragma once
#include "grids/cells/base_string_cell.h"
#include "platform/widgets/std_edits.h"

class TOvcTCCustomString;
class TOvcTCCustomMemo;

class TOvcTCStringEdit : public TCustomEdit {
public:
  explicit TOvcTCStringEdit(TComponent *AOwner) : TCustomEdit(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCStringEdit"); }
  void WndProc(TMessage &Message) override;

  TOvcTCCustomString *CellOwner = nullptr;
  void TakeCellEvents(TOvcBaseTableCell *Cell);
};

class TOvcTCMemoEdit : public TCustomMemo {
public:
  explicit TOvcTCMemoEdit(TComponent *AOwner) : TCustomMemo(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCMemoEdit"); }
  void WndProc(TMessage &Message) override;

  TOvcTCCustomMemo *CellOwner = nullptr;
  void TakeCellEvents(TOvcBaseTableCell *Cell);
};

class TOvcTCCustomString : public TOvcTCBaseString {
public:
  explicit TOvcTCCustomString(TComponent *AOwner) : TOvcTCBaseString(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomString"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TWinControl *EditorControl() override { return editor_; }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  void CopyEditorValue(void *Data) override;
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCStringEdit *CreateEditor(TComponent *AOwner);
  bool EditorModified() const;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value) { maxLength_ = ClampedMaxLength(Value); }
  bool AutoAdvanceChar() const { return autoAdvanceChar_; }
  void SetAutoAdvanceChar(bool Value) { autoAdvanceChar_ = Value; }
  bool AutoAdvanceLeftRight() const { return autoAdvanceLeftRight_; }
  void SetAutoAdvanceLeftRight(bool Value) { autoAdvanceLeftRight_ = Value; }
  TNotifyEvent OnChange;

private:
  TOvcTCStringEdit *editor_ = nullptr;
  quint16 maxLength_ = 0;
  bool autoAdvanceChar_ = false;
  bool autoAdvanceLeftRight_ = false;
};

class TOvcTCString : public TOvcTCCustomString {
public:
  using TOvcTCCustomString::TOvcTCCustomString;
  QString ClassName() const override { return QStringLiteral("TOvcTCString"); }
};

class TOvcTCCustomMemo : public TOvcTCBaseString {
public:
  explicit TOvcTCCustomMemo(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomMemo"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TWinControl *EditorControl() override { return editor_; }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  // The table sees a memo's new text only when editing ends.
  void CopyEditorValue(void *) override {}
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCMemoEdit *CreateEditor(TComponent *AOwner);
  bool EditorModified() const;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value) { maxLength_ = ClampedMaxLength(Value); }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  TNotifyEvent OnChange;

private:
  TOvcTCMemoEdit *editor_ = nullptr;
  quint16 maxLength_ = 0;
  bool wantReturns_ = false;
  bool wantTabs_ = false;
};

class TOvcTCMemo : public TOvcTCCustomMemo {
public:
  using TOvcTCCustomMemo::TOvcTCCustomMemo;
  QString ClassName() const override { return QStringLiteral("TOvcTCMemo"); }
};
