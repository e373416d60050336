#pragma once
// The etched frame of a group of options with its title, drawn behind the options of a report dialog.
#include "platform/controls.h"

class TfrGroupFrame : public TGraphicControl {
public:
  explicit TfrGroupFrame(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrGroupFrame"); }

protected:
  void Paint() override;
};
