#include "controls/labels/url_label.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"

namespace {
// ShellExecute's "shown normally".
constexpr int kShowNormal = 1;
} // namespace

TKNGURLLabel::TKNGURLLabel(TComponent *AOwner) : TKNGCustomLabel(AOwner) {
  Font()->SetColor(clBlue);
  Font()->SetStyle(fsUnderline);
  // After the font, whose change sizes an auto-sized label to its (empty) caption.
  SetBounds(Left(), Top(), 65, 30);
}

QString TKNGURLLabel::Address() const {
  const QString caption = Caption();
  if (caption.isEmpty() || !addURLKind_) return caption;
  return (urlKind_ == ukMailTo ? QStringLiteral("mailto:") : QStringLiteral("http://")) + caption;
}

bool TKNGURLLabel::OpenLink() {
  const QString address = Address();
  if (address.isEmpty()) return false;
  HWND owner = 0;
  if (TCustomForm *form = GetParentForm(this)) owner = form->Handle();
  // The shell layer opens only web and mail addresses.
  return ShellExecute(owner, QStringLiteral("Open"), address, QString(), QString(), kShowNormal) > 32;
}

void TKNGURLLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const std::weak_ptr<bool> alive = AliveToken();
  TKNGCustomLabel::MouseUp(Button, Shift, X, Y);
  // A press dragged off the label and released elsewhere opens nothing.
  if (IsAlive(alive) && PtInRect(ClientRect(), TPoint{X, Y})) OpenLink();
}

void TKNGURLLabel::WndProc(TMessage &Message) {
  if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) && Message.LParam == 0) {
    const std::weak_ptr<bool> alive = AliveToken();
    TKNGCustomLabel::WndProc(Message);
    if (!IsAlive(alive)) return;
    if (Message.Msg == CM_MOUSEENTER) {
      if (OnMouseEnter) OnMouseEnter(this);
      if (IsAlive(alive)) SetCursor(crHandPoint);
    } else {
      SetCursor(crDefault);
      if (OnMouseLeave) OnMouseLeave(this);
    }
    return;
  }
  TKNGCustomLabel::WndProc(Message);
}
