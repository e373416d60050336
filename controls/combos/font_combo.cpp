#include "controls/combos/font_combo.h"

#include "controls/framework/control_helpers.h"
#include "controls/framework/private_messages.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/virtual_keys.h"
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

namespace {

// The entry glyphs, 16 by 12 on a yellow ground that draws as transparent.
QImage Glyph(bool TrueType) {
  QImage image(16, 12, QImage::Format_RGB32);
  image.fill(QColor(255, 255, 0));
  QPainter p(&image);
  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  if (TrueType) {
    p.setPen(QColor(128, 128, 128));
    p.drawText(QRect(1, 0, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
    p.setPen(QColor(0, 0, 0));
    p.drawText(QRect(5, 1, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
  } else {
    // A small printer.
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(2, 5, 11, 5);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(4, 1, 7, 4);
  }
  return image;
}

void RegisterFontGlyphs() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBitmapResource(QStringLiteral("ORTRUETYPEFONT"), [] { return Glyph(true); });
  RegisterBitmapResource(QStringLiteral("ORDEVICEFONT"), [] { return Glyph(false); });
}

bool IsSymbolFont(const QString &Family) {
  return QFontDatabase::writingSystems(Family).contains(QFontDatabase::Symbol);
}

} // namespace

TOvcFontComboBox::TOvcFontComboBox(TComponent *AOwner) : TOvcBaseComboBox(AOwner) {
  RegisterFontGlyphs();
  trueTypeGlyph_ = LoadControlBitmap(QStringLiteral("ORTRUETYPEFONT"));
  deviceGlyph_ = LoadControlBitmap(QStringLiteral("ORDEVICEFONT"));
}

TOvcFontComboBox::~TOvcFontComboBox() = default;

void TOvcFontComboBox::Loaded() {
  TOvcBaseComboBox::Loaded();
  if (!ComponentState().Contains(csDesigning)) RebuildFontList();
}

void TOvcFontComboBox::CreateWnd() {
  TOvcBaseComboBox::CreateWnd();
  if (QWidget *widget = Widget()) {
    const std::weak_ptr<bool> token = AliveToken();
    QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, widget, [this, token] {
      if (!token.expired()) FontsChanged();
    });
  }
}

void TOvcFontComboBox::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcBaseComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == previewControl_) previewControl_ = nullptr;
}

void TOvcFontComboBox::SetFontCategories(TFontCategories Value) {
  if (categories_ == Value) return;
  categories_ = Value;
  if (!ComponentState().Contains(csLoading)) RebuildFontList();
}

void TOvcFontComboBox::SetFontPitchStyles(TFontPitches Value) {
  if (pitches_ == Value) return;
  pitches_ = Value;
  if (!ComponentState().Contains(csLoading)) RebuildFontList();
}

void TOvcFontComboBox::SetPreviewFont(bool Value) {
  if (previewFont_ == Value) return;
  previewFont_ = Value;
  Invalidate();
}

void TOvcFontComboBox::SetPreviewControl(TControl *Value) {
  if (previewControl_ == Value) return;
  if (previewControl_) previewControl_->RemoveFreeNotification(this);
  previewControl_ = Value;
  if (previewControl_) previewControl_->FreeNotification(this);
}

QString TOvcFontComboBox::FontName() const {
  const int index = ItemIndex();
  return index < 0 ? QString() : Items()->Strings(index);
}

void TOvcFontComboBox::SetFontName(const QString &Value) {
  const int count = Items()->Count();
  for (int i = 0; i < count; ++i) {
    if (Items()->Strings(i) != Value) continue;
    SetItemIndex(i);
    return;
  }
}

void TOvcFontComboBox::RebuildFontList() {
  ClearMRUList();
  Items()->Clear();
  QStringList names;
  QList<TObject *> glyphs;
  // The printer draws with the same installed fonts as the screen, so one pass over them covers both.
  for (const QString &family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family) || names.contains(family)) continue;
    const bool trueType = QFontDatabase::isScalable(family);
    const bool categoryPasses =
        categories_ == TFontCategories::fcAll ||
        (trueType ? categories_ == TFontCategories::fcTrueType : categories_ == TFontCategories::fcDevice);
    const bool fixed = QFontDatabase::isFixedPitch(family);
    const bool pitchPasses =
        pitches_ == TFontPitches::fpAll ||
        (fixed ? pitches_ == TFontPitches::fpFixed : pitches_ == TFontPitches::fpVariable);
    if (!categoryPasses || !pitchPasses) continue;
    names.append(family);
    glyphs.append(trueType ? trueTypeGlyph_.get() : deviceGlyph_.get());
  }
  QList<int> order(names.size());
  for (int i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&names](int a, int b) { return names[a].compare(names[b], Qt::CaseInsensitive) < 0; });
  for (int i : order) Items()->AddObject(names[i], glyphs[i]);
}

void TOvcFontComboBox::FontsChanged() {
  const QString selected = FontName();
  RebuildFontList();
  SetFontName(selected);
  if (FontName() != selected) Change();
}

void TOvcFontComboBox::KeyDown(WORD &Key, TShiftState Shift) {
  // Posted first, so the preview follows once the base has moved the selection.
  if (Key == VK_UP || Key == VK_DOWN) PostMessage(WindowHandle(), ovm_FontPreview);
  TOvcBaseComboBox::KeyDown(Key, Shift);
}

void TOvcFontComboBox::WndProc(TMessage &Message) {
  if (Message.Msg == ovm_FontPreview) {
    UpdatePreview();
    return;
  }
  TOvcBaseComboBox::WndProc(Message);
}

void TOvcFontComboBox::SelectionChanged() {
  TOvcBaseComboBox::SelectionChanged();
  UpdatePreview();
}

void TOvcFontComboBox::UpdatePreview() {
  if (previewControl_ && ItemIndex() >= 0) previewControl_->Font()->SetName(FontName());
}

void TOvcFontComboBox::DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) {
  TCanvas *canvas = Canvas();
  const bool mru = Index >= 0 && Index < MRUList()->Items()->Count() && !State.Contains(odComboBoxEdit);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : mru ? MRUListColor() : Color());
  canvas->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  const QString name = Items()->Strings(Index);
  int left = Rect.Left + 2;
  if (const auto *glyph = dynamic_cast<const TBitmap *>(Items()->Objects(Index))) {
    const int top = Rect.Top + (Rect.Height() - glyph->Height()) / 2;
    canvas->BrushCopy(TRect{left, top, left + glyph->Width(), top + glyph->Height()}, glyph,
                      TRect{0, 0, glyph->Width(), glyph->Height()}, clYellow);
    left += glyph->Width() + 2;
  }
  if (previewFont_ && !IsSymbolFont(name)) canvas->Font()->SetName(name);
  canvas->Brush()->SetStyle(bsClear);
  int bottom = Rect.Bottom;
  if (!State.Contains(odComboBoxEdit) && Index == MRUList()->Items()->Count() - 1) bottom -= 3;
  canvas->TextOut(left, Rect.Top + (bottom - Rect.Top - canvas->TextHeight(name)) / 2, name);
  canvas->Brush()->SetStyle(bsSolid);
  DrawMRUSeparator(Index, Rect, State);
}
