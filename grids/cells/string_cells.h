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
};

class TOvcTCMemoEdit : public TCustomMemo {
public:
  explicit TOvcTCMemoEdit(TComponent *AOwner) : TCustomMemo(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCMemoEdit"); }
  void WndProc(TMessage &Message) override;

  TOvcTCCustomMemo *CellOwner = nullptr;
};

// What the string and memo cells share: the one in-place editor they open for an edit over the cell, free
// when the edit ends and forget when the table frees it first, and the length limit they give it.
class TOvcTCEditedText : public TOvcTCBaseString {
public:
  using TOvcTCBaseString::TOvcTCBaseString;
  QString ClassName() const override { return QStringLiteral("TOvcTCEditedText"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TWinControl *EditorControl() override { return editor_; }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  bool EditorModified() const;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value) { maxLength_ = ClampedMaxLength(Value); }
  TNotifyEvent OnChange;

protected:
  // Makes Editor, new and not yet shown, the open one: holding Data's text within the limit, over CellRect
  // in the cell's colours, font and style, with the cell's events.
  void OpenEditor(TCustomEdit *Editor, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                  int CellStyle, const void *Data);
  TCustomEdit *Editor() const { return editor_; }
  void FreeEditor();

private:
  TCustomEdit *editor_ = nullptr;
  quint16 maxLength_ = 0;
};

class TOvcTCCustomString : public TOvcTCEditedText {
public:
  explicit TOvcTCCustomString(TComponent *AOwner) : TOvcTCEditedText(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomString"); }

  void CopyEditorValue(void *Data) override;
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCStringEdit *CreateEditor(TComponent *AOwner);

  bool AutoAdvanceChar() const { return autoAdvanceChar_; }
  void SetAutoAdvanceChar(bool Value) { autoAdvanceChar_ = Value; }
  bool AutoAdvanceLeftRight() const { return autoAdvanceLeftRight_; }
  void SetAutoAdvanceLeftRight(bool Value) { autoAdvanceLeftRight_ = Value; }

private:
  bool autoAdvanceChar_ = false;
  bool autoAdvanceLeftRight_ = false;
};

class TOvcTCString : public TOvcTCCustomString {
public:
  using TOvcTCCustomString::TOvcTCCustomString;
  QString ClassName() const override { return QStringLiteral("TOvcTCString"); }
};

class TOvcTCCustomMemo : public TOvcTCEditedText {
public:
  explicit TOvcTCCustomMemo(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomMemo"); }

  // The table sees a memo's new text only when editing ends.
  void CopyEditorValue(void *) override {}
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCMemoEdit *CreateEditor(TComponent *AOwner);

  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }

private:
  bool wantReturns_ = false;
  bool wantTabs_ = false;
};

class TOvcTCMemo : public TOvcTCCustomMemo {
public:
  using TOvcTCCustomMemo::TOvcTCCustomMemo;
  QString ClassName() const override { return QStringLiteral("TOvcTCMemo"); }
};
