// A drop-down list of the 22 named colours, each with a swatch of its colour.
#pragma once
#include "controls/combos/combo_base.h"
#include <span>

// The named colours in list order, with their names' message numbers.
struct TOvcNamedColor {
  int MessageNumber;
  TColor Value;
};
std::span<const TOvcNamedColor> OvcNamedColors();
// The colour of a name of the list (exact, case-sensitive), 0 for an unknown name.
TColor OvcColorOfName(const QString &Name);

class TOvcCustomColorComboBox : public TOvcBaseComboBox {
public:
  explicit TOvcCustomColorComboBox(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcCustomColorComboBox"); }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  bool ShowColorNames() const { return showColorNames_; }
  void SetShowColorNames(bool Value);
  // The colour of the selected name, 0 when nothing is selected.
  TColor SelectedColor() const;
  // Selects the first name with that colour and reports the change; a colour not in the list changes nothing.
  void SetSelectedColor(TColor Value);
  // The swatch's width in the current size (computed on first use).
  int SwatchWidth();

protected:
  void CreateWnd() override;
  void DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) override;

private:
  bool showColorNames_ = true;
  int swatchWidth_ = 0;
};

class TOvcColorComboBox : public TOvcCustomColorComboBox {
public:
  using TOvcCustomColorComboBox::TOvcCustomColorComboBox;
  QString ClassName() const override { return QStringLiteral("TOvcColorComboBox"); }
};
