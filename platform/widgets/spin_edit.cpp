#include "platform/widgets/spin_edit.h"
#include "platform/core/format_settings.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/system_services.h"
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <climits>

namespace {

// A spin box that lends its edit part to the control.
class SpinBoxWidget : public TControlWidget<QSpinBox> {
public:
  using TControlWidget::TControlWidget;
  QLineEdit *Edit() const { return lineEdit(); }
};

} // namespace

TSpinEdit::TSpinEdit(TComponent *AOwner) : TCustomEdit(AOwner) {
  SetText(QStringLiteral("0"));
  SetWidth(121);
}

QSpinBox *TSpinEdit::SpinBox() const { return dynamic_cast<QSpinBox *>(Widget()); }

QLineEdit *TSpinEdit::LineEdit() const {
  auto *spin = dynamic_cast<SpinBoxWidget *>(Widget());
  return spin ? spin->Edit() : nullptr;
}

QWidget *TSpinEdit::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new SpinBoxWidget(this);
  widget->setRange(INT_MIN, INT_MAX);
  // The spin box updates its edit part with the edit's signals blocked; its own signal reports every change.
  QObject::connect(widget, &QSpinBox::textChanged, widget, [this, widget] {
    if (widget->Control() == this) WidgetTextChanged();
  });
  return widget;
}

void TSpinEdit::UpdateWidget() {
  TCustomEdit::UpdateWidget();
  QSpinBox *spin = SpinBox();
  if (!spin) return;
  // The frame is the spin box's; its edit part has none.
  spin->setFrame(BorderStyle() == bsSingle);
  LineEdit()->setFrame(false);
  spin->setReadOnly(ReadOnly());
  LineEdit()->setReadOnly(ReadOnly() || !editorEnabled_);
  UpdateRange();
}

void TSpinEdit::UpdateRange() {
  QSpinBox *spin = SpinBox();
  if (!spin) return;
  const QSignalBlocker block(spin);
  if (minValue_ == maxValue_)
    spin->setRange(INT_MIN, INT_MAX);
  else
    spin->setRange(minValue_, maxValue_);
  spin->setSingleStep(increment_);
}

void TSpinEdit::SetWidgetText(const QString &Value) {
  QSpinBox *spin = SpinBox();
  if (!spin) {
    TCustomEdit::SetWidgetText(Value);
    return;
  }
  bool ok = false;
  const int number = Value.trimmed().toInt(&ok);
  if (ok)
    spin->setValue(number);
  else
    LineEdit()->setText(Value);
}

int TSpinEdit::CheckValue(int Value) const {
  if (minValue_ == maxValue_) return Value;
  return std::clamp(Value, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
}

int TSpinEdit::Value() const {
  bool ok = false;
  const int number = Text().trimmed().toInt(&ok);
  return ok ? CheckValue(number) : minValue_;
}

void TSpinEdit::SetValue(int Value) { SetText(QString::number(CheckValue(Value))); }

void TSpinEdit::KeepInRange() {
  bool ok = false;
  const int number = Text().trimmed().toInt(&ok);
  if (ok && CheckValue(number) != number) SetValue(number);
}

void TSpinEdit::SetMinValue(int Value) {
  minValue_ = Value;
  UpdateRange();
  KeepInRange();
}

void TSpinEdit::SetMaxValue(int Value) {
  maxValue_ = Value;
  UpdateRange();
  KeepInRange();
}

void TSpinEdit::SetIncrement(int Value) {
  increment_ = std::max(1, Value);
  UpdateRange();
}

void TSpinEdit::SetEditorEnabled(bool Value) {
  editorEnabled_ = Value;
  UpdateWidget();
}

void TSpinEdit::KeyPress(QChar &Key) {
  TCustomEdit::KeyPress(Key);
  if (Key.isNull()) return;
  const ushort code = Key.unicode();
  const bool control = code < 0x20 && code != '\r';
  const bool valid = Key.isDigit() || Key == QLatin1Char('+') || Key == QLatin1Char('-') ||
                     Key == Settings().DecimalSeparator || control;
  // Without the editor only the arrows change the value: no typing, no deleting.
  const bool typing = code >= 0x20 || code == 0x08 || code == 0x7F;
  if (!valid || (!editorEnabled_ && typing)) {
    Key = QChar();
    MessageBeep(0);
  }
}
