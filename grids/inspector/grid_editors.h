// The inspector grid's in-place editors: a masked edit for text, numbers and dates, and drop-down lists for
// choices, colours and fonts. Each is borderless, flat and no tab stop, takes the grid's EditColor, and hands
// the grid its navigation keys (Up, Down, Page Up, Page Down, Escape) and the mouse wheel, so that moving
// between rows works the same whichever editor is open.
#pragma once
#include "controls/combos/color_combo.h"
#include "controls/combos/font_combo.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include <QElapsedTimer>

class TO32CustomInspectorGrid;

// Where an editor's keys, characters and changes go.
class TO32EditorLink {
public:
  TO32CustomInspectorGrid *Grid() const { return grid_; }
  void SetGrid(TO32CustomInspectorGrid *Value) { grid_ = Value; }
  // True when the grid took the key (it is consumed). EnterIsDown: Enter moves down a row as Down does.
  bool RouteKeyDown(WORD &Key, TShiftState Shift, bool EnterIsDown);
  // The grid's OnKeyPress sees the character first.
  void RouteKeyPress(QChar &Key);
  // The wheel moves the grid's current row; true when the message was the wheel.
  bool RouteWheel(const TMessage &Message);
  void Changed();
  // Whether the last Enter moved the grid to another row.
  bool EnterMoved() const { return enterMoved_; }
  void ClearEnterMoved() { enterMoved_ = false; }

private:
  TO32CustomInspectorGrid *grid_ = nullptr;
  bool enterMoved_ = false;
};

class TO32GridEdit : public TCustomMaskEdit {
public:
  explicit TO32GridEdit(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TO32GridEdit"); }
  void WndProc(TMessage &Message) override;
  TO32EditorLink &Link() { return link_; }
  // A press within the double-click time after this moment counts as a double click.
  void StartDoubleClickWindow() { clickTimer_.start(); }
  // The text area inside the editor: 2 pixels from the left, right and top.
  void SetTextInset();

protected:
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  void Change() override;

private:
  TO32EditorLink link_;
  QElapsedTimer clickTimer_;
};

// The drop-down editors share their handling whatever combo box they are.
template <class ComboBase>
class TO32GridComboEditor : public ComboBase {
public:
  explicit TO32GridComboEditor(TComponent *AOwner);
  void WndProc(TMessage &Message) override;
  TO32EditorLink &Link() { return link_; }

protected:
  void CreateWnd() override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  void Change() override;

private:
  TO32EditorLink link_;
};

class TO32GridCombo : public TO32GridComboEditor<TCustomComboBox> {
public:
  explicit TO32GridCombo(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TO32GridCombo"); }
};

class TO32GridColorCombo : public TO32GridComboEditor<TOvcCustomColorComboBox> {
public:
  using TO32GridComboEditor::TO32GridComboEditor;
  QString ClassName() const override { return QStringLiteral("TO32GridColorCombo"); }
};

class TO32GridFontCombo : public TO32GridComboEditor<TOvcFontComboBox> {
public:
  explicit TO32GridFontCombo(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TO32GridFontCombo"); }
};

// The link of an editor made by the grid, nullptr for any other control.
TO32EditorLink *EditorLinkOf(TWinControl *Editor);
