// TKNGURLLabel: a bevelled label that shows a link (blue, underlined, a pointing hand under the mouse) and
// opens its caption as a web or mail address when clicked. Only http, https and mailto addresses are ever
// opened: anything else the caption holds (a file, a program, another scheme) is refused.
#pragma once
#include "controls/labels/bevel_label.h"

enum TKNGURLKind { ukHTTP, ukMailTo };

class TKNGURLLabel : public TKNGCustomLabel {
public:
  explicit TKNGURLLabel(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TKNGURLLabel"); }
  void WndProc(TMessage &Message) override;

  TKNGURLKind URLKind() const { return urlKind_; }
  void SetURLKind(TKNGURLKind Value) { urlKind_ = Value; }
  // Put "http://" or "mailto:" in front of the caption.
  bool AddURLKind() const { return addURLKind_; }
  void SetAddURLKind(bool Value) { addURLKind_ = Value; }
  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  // The address a click opens (empty when the caption is).
  QString Address() const;
  // Opens Address; false when there is none or it was refused or could not be opened.
  bool OpenLink();

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  TKNGURLKind urlKind_ = ukHTTP;
  bool addURLKind_ = false;
};
