// A combo box of the installed fonts, sorted, each marked as scalable (TrueType) or device font. It can draw
// each entry in its own font and pass the chosen font's name to another control.
#pragma once
#include "controls/combos/combo_base.h"
#include "platform/graphics/bitmap.h"
#include <memory>

// Scoped: the plain names would clash with the class library's font pitch values.
enum class TFontCategories { fcAll, fcTrueType, fcDevice };
enum class TFontPitches { fpAll, fpFixed, fpVariable };

class TOvcFontComboBox : public TOvcBaseComboBox {
public:
  explicit TOvcFontComboBox(TComponent *AOwner);
  ~TOvcFontComboBox() override;
  QString ClassName() const override { return QStringLiteral("TOvcFontComboBox"); }
  void Loaded() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void WndProc(TMessage &Message) override;

  TFontCategories FontCategories() const { return categories_; }
  void SetFontCategories(TFontCategories Value);
  TFontPitches FontPitchStyles() const { return pitches_; }
  void SetFontPitchStyles(TFontPitches Value);
  bool PreviewFont() const { return previewFont_; }
  void SetPreviewFont(bool Value);
  TControl *PreviewControl() const { return previewControl_; }
  void SetPreviewControl(TControl *Value);

  // The selected font's name, empty when none is selected.
  QString FontName() const;
  // Selects the font of that name; an unknown name changes nothing.
  void SetFontName(const QString &Value);
  // Fills the list with the installed fonts that pass FontCategories and FontPitchStyles, sorted.
  void RebuildFontList();

  // The glyphs that mark the entries.
  const TBitmap *TrueTypeGlyph() const { return trueTypeGlyph_.get(); }
  const TBitmap *DeviceGlyph() const { return deviceGlyph_.get(); }

protected:
  void CreateWnd() override;
  void DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void SelectionChanged() override;

private:
  void FontsChanged();
  void UpdatePreview();

  TFontCategories categories_ = TFontCategories::fcAll;
  TFontPitches pitches_ = TFontPitches::fpAll;
  bool previewFont_ = false;
  TControl *previewControl_ = nullptr;
  std::unique_ptr<TBitmap> trueTypeGlyph_;
  std::unique_ptr<TBitmap> deviceGlyph_;
};
