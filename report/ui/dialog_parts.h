// The etched frame of a group of options with its title, drawn behind the options of a report dialog.
#pragma once
#include "platform/windowing/controls.h"

class TfrGroupFrame : public TGraphicControl {
public:
  explicit TfrGroupFrame(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrGroupFrame"); }

protected:
  void Paint() override;
};
