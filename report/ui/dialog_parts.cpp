#include "report/ui/dialog_parts.h"

TfrGroupFrame::TfrGroupFrame(TComponent *AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 185, 105); }

void TfrGroupFrame::Paint() {
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  const int textHeight = canvas->TextHeight(QStringLiteral("0"));
  TRect r = ClientRect();
  r.Top += textHeight / 2;
  // An etched frame: shadow, then highlight one pixel inside.
  canvas->Brush()->SetStyle(bsClear);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Rectangle(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
  canvas->Pen()->SetColor(clBtnHighlight);
  canvas->Rectangle(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
  if (Caption().isEmpty()) return;
  TRect text = Rect(8, 0, r.Right - 8, textHeight);
  canvas->DrawText(Caption(), text, DT_CALCRECT | DT_SINGLELINE);
  InflateRect(text, 2, 0);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(text);
  canvas->Brush()->SetStyle(bsClear);
  InflateRect(text, -2, 0);
  canvas->DrawText(Caption(), text, DT_LEFT | DT_SINGLELINE);
}
