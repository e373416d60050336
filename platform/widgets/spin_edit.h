// TSpinEdit: an edit for a whole number with up and down arrows (QSpinBox). The arrows, the Up and Down keys
// and the mouse wheel step the value by Increment between MinValue and MaxValue (no bounds when the two are
// equal); typing takes digits and signs only, and nothing at all when EditorEnabled is off, so that the value
// changes by the arrows alone. Every change of the text fires OnChange.
#pragma once
#include "platform/widgets/std_edits.h"

class QSpinBox;

class TSpinEdit : public TCustomEdit {
public:
  explicit TSpinEdit(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TSpinEdit"); }

  // The number in the text; a text that is no number reads as MinValue.
  int Value() const;
  // Kept within the bounds.
  void SetValue(int Value);
  int MinValue() const { return minValue_; }
  void SetMinValue(int Value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int Value);
  int Increment() const { return increment_; }
  void SetIncrement(int Value);
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool Value);

protected:
  void KeyPress(QChar &Key) override;
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  QLineEdit *LineEdit() const override;
  void UpdateWidget() override;
  void SetWidgetText(const QString &Value) override;

private:
  QSpinBox *SpinBox() const;
  int CheckValue(int Value) const;
  void UpdateRange();
  void KeepInRange();

  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  bool editorEnabled_ = true;
};
