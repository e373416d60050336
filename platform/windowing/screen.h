// TScreen (Screen()): the screen's size and work area, the application's forms, the active form and control,
// and the cursors by number: the standard cursors (crArrow, crHourGlass, ...) and custom ones registered by
// number (SetCursors), as the control libraries do with the cursors they load from their resources.
#pragma once
#include "platform/windowing/controls.h"
#include <QCursor>
#include <QList>
#include <QMap>

class TCustomForm;

class TScreen : public TObject {
public:
  TScreen();
  ~TScreen() override;
  QString ClassName() const override { return QStringLiteral("TScreen"); }

  int Width() const;
  int Height() const;
  // The part of the primary screen not covered by panels and task bars.
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  // Forms are laid out for 96 pixels per inch.
  int PixelsPerInch() const { return 96; }

  // The cursor of a number: a registered one, else the standard one (an unknown number gives the arrow).
  QCursor Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, const QCursor &Cursor);

  int FormCount() const { return int(forms_.size()); }
  TCustomForm *Forms(int Index) const { return forms_.value(Index); }
  TCustomForm *ActiveForm() const { return activeForm_; }
  TWinControl *ActiveControl() const { return activeControl_; }

  // -- kept up to date by the forms --
  void AddForm(TCustomForm *Form);
  void RemoveForm(TCustomForm *Form);
  void SetActive(TCustomForm *Form, TWinControl *Control);
  // The form that last had the focus (CM_ACTIVATE / CM_DEACTIVATE go between them).
  TCustomForm *FocusedForm() const { return focusedForm_; }
  void SetFocusedForm(TCustomForm *Form) { focusedForm_ = Form; }

private:
  QList<TCustomForm *> forms_;
  TCustomForm *activeForm_ = nullptr;
  TCustomForm *focusedForm_ = nullptr;
  TWinControl *activeControl_ = nullptr;
  QMap<TCursor, QCursor> cursors_;
};

TScreen *Screen();
