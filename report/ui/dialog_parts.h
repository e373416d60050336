#pragma once
// Small painted parts of the report engine's dialogs: a text label whose "&" accelerator focuses the control
// it names, and the etched frame of a group of options with its title.
#include "platform/controls.h"

class TfrDialogLabel : public TGraphicControl {
public:
  explicit TfrDialogLabel(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrDialogLabel"); }
  void WndProc(TMessage &Message) override;
  // The control the accelerator of the caption focuses.
  TWinControl *FocusControl = nullptr;
  // Lines wrap at the label's width.
  bool WordWrap = false;
  // "&" marks the accelerator; off, the caption shows as it is.
  bool ShowAccelChar = true;

protected:
  void Paint() override;
};

class TfrGroupFrame : public TGraphicControl {
public:
  explicit TfrGroupFrame(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrGroupFrame"); }

protected:
  void Paint() override;
};
