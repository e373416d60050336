#include "controls/combos/color_combo.h"

#include "controls/framework/library_messages.h"
#include "platform/graphics/canvas.h"
#include <algorithm>
#include <array>

namespace {

// In list order; White's message number stands before the grays'.
constexpr std::array<TOvcNamedColor, 22> kNamedColors{{
    {30500, 0x000000}, {30501, 0x000080}, {30502, 0x008000}, {30503, 0x008080}, {30504, 0x800000},
    {30505, 0x800080}, {30506, 0x808000}, {30507, 0x808080}, {30508, 0xC0C0C0}, {30509, 0x0000FF},
    {30510, 0x00FF00}, {30511, 0x00FFFF}, {30512, 0xFF0000}, {30513, 0xFF00FF}, {30514, 0xFFFF00},
    {30516, 0xC0C0C0}, {30517, 0xA4A0A0}, {30518, 0x808080}, {30515, 0xFFFFFF}, {30519, 0xC0DCC0},
    {30520, 0xF0CAA6}, {30521, 0xF0FBFF},
}};

} // namespace

std::span<const TOvcNamedColor> OvcNamedColors() { return kNamedColors; }

TColor OvcColorOfName(const QString &Name) {
  for (const TOvcNamedColor &named : kNamedColors)
    if (LibraryMessageText(named.MessageNumber) == Name) return named.Value;
  return 0;
}

TOvcCustomColorComboBox::TOvcCustomColorComboBox(TComponent *AOwner) : TOvcBaseComboBox(AOwner) {
  SetMRUListCount(0);
  SetStyle(ocsDropDownList);
}

void TOvcCustomColorComboBox::CreateWnd() {
  TOvcBaseComboBox::CreateWnd();
  SetText(QString());
  Items()->Clear();
  for (const TOvcNamedColor &named : kNamedColors) Items()->Add(LibraryMessageText(named.MessageNumber));
  SetItemIndex(0);
}

void TOvcCustomColorComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TOvcBaseComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  swatchWidth_ = 0;
  Invalidate();
}

void TOvcCustomColorComboBox::WndProc(TMessage &Message) {
  TOvcBaseComboBox::WndProc(Message);
  if (Message.Msg == CM_FONTCHANGED) {
    swatchWidth_ = 0;
    Invalidate();
  }
}

void TOvcCustomColorComboBox::SetShowColorNames(bool Value) {
  if (showColorNames_ == Value) return;
  showColorNames_ = Value;
  swatchWidth_ = 0;
  Invalidate();
}

TColor TOvcCustomColorComboBox::SelectedColor() const {
  const int index = ItemIndex();
  if (index < 0) return 0;
  return OvcColorOfName(Items()->Strings(index));
}

void TOvcCustomColorComboBox::SetSelectedColor(TColor Value) {
  for (int i = 0; i < Items()->Count(); ++i) {
    if (OvcColorOfName(Items()->Strings(i)) != Value) continue;
    SetItemIndex(i);
    Change();
    return;
  }
}

int TOvcCustomColorComboBox::SwatchWidth() {
  if (swatchWidth_ == 0) {
    const int client = ClientWidth();
    if (showColorNames_) {
      TCanvas *canvas = Canvas();
      canvas->SetFont(Font());
      int widest = 0;
      for (int i = 0; i < Items()->Count(); ++i)
        widest = std::max(widest, canvas->TextWidth(Items()->Strings(i) + QLatin1Char('X')));
      swatchWidth_ = std::max(25, client - widest);
    } else {
      swatchWidth_ = client - 1;
    }
  }
  return swatchWidth_;
}

void TOvcCustomColorComboBox::DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) {
  TCanvas *canvas = Canvas();
  const QString name =
      Index < 0 ? LibraryMessageText(kNamedColors[0].MessageNumber) : Items()->Strings(Index);
  const TColor fontColor = canvas->Font()->Color();
  canvas->FillRect(Rect);
  const int swatch = SwatchWidth();
  if (showColorNames_) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(Rect.Left + 2, Rect.Top + (Rect.Height() - canvas->TextHeight(name)) / 2, name);
  }
  canvas->Pen()->SetColor(fontColor);
  canvas->Pen()->SetWidth(1);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(OvcColorOfName(name));
  canvas->Rectangle(ClientWidth() - swatch, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
}
