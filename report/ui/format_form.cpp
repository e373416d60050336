#include "report/ui/format_form.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "report/ui/ui_texts.h"

QStringList frFormatCategories() {
  return {QStringLiteral("Text"), QStringLiteral("Number"), QStringLiteral("Date"), QStringLiteral("Time"),
          QStringLiteral("Boolean")};
}

QStringList frFormatVariants(int Category) {
  switch (Category) {
  case 0: return {QStringLiteral("[None]")};
  case 1:
    return {QStringLiteral("1234,5"), QStringLiteral("1234,50"), QStringLiteral("1 234,5"),
            QStringLiteral("1 234,50"), QStringLiteral("Custom")};
  case 2:
    return {QStringLiteral("11.15.98"), QStringLiteral("11.15.1998"), QStringLiteral("15 nov 1998"),
            QStringLiteral("15 november 1998"), QStringLiteral("Custom")};
  case 3:
    return {QStringLiteral("02:43:35"), QStringLiteral("2:43:35"), QStringLiteral("02:43"),
            QStringLiteral("2:43"), QStringLiteral("Custom")};
  case 4:
    return {QStringLiteral("0;1"), QStringLiteral("No;Yes"), QStringLiteral("_;x"),
            QStringLiteral("False;True"), QStringLiteral("Custom")};
  default: return {};
  }
}

TfrFmtForm::TfrFmtForm(TComponent *AOwner) : TForm(AOwner) {
  SetCaption(frtext::FormatCaption);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(300, 168);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetSize(8);
  auto label = [this](int left, int top, const QString &caption, TWinControl *parent) {
    auto *l = new TLabel(this);
    l->SetBounds(left, top, 120, 14);
    l->SetParent(parent);
    l->SetCaption(caption);
    return l;
  };
  CategoryLabel = label(8, 8, frtext::Category, this);
  ComboBox1 = new TComboBox(this);
  ComboBox1->SetStyle(csDropDownList);
  ComboBox1->SetBounds(8, 24, 136, 22);
  ComboBox1->SetParent(this);
  ComboBox1->OnChange = TNotifyEvent(this, &TfrFmtForm::CategoryChange);
  VariantLabel = label(156, 8, frtext::Format, this);
  ComboBox2 = new TComboBox(this);
  ComboBox2->SetStyle(csDropDownList);
  ComboBox2->SetBounds(156, 24, 136, 22);
  ComboBox2->SetParent(this);
  ComboBox2->OnChange = TNotifyEvent(this, &TfrFmtForm::VariantChange);

  Panel1 = new TPanel(this);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetBounds(8, 56, 284, 64);
  Panel1->SetParent(this);
  label(0, 6, frtext::DecimalPlaces, Panel1);
  DecimalsEdit = new TEdit(this);
  DecimalsEdit->SetBounds(148, 2, 40, 21);
  DecimalsEdit->SetParent(Panel1);
  DecimalsEdit->SetMaxLength(3);
  DecimalsEdit->OnChange = TNotifyEvent(this, &TfrFmtForm::DecimalsChange);
  label(0, 34, frtext::DecimalSeparator, Panel1);
  SeparatorEdit = new TEdit(this);
  SeparatorEdit->SetBounds(148, 30, 40, 21);
  SeparatorEdit->SetParent(Panel1);
  SeparatorEdit->SetMaxLength(1);
  SeparatorEdit->OnChange = TNotifyEvent(this, &TfrFmtForm::SeparatorChange);

  Panel2 = new TPanel(this);
  Panel2->SetBevelOuter(bvNone);
  Panel2->SetBounds(8, 56, 284, 64);
  Panel2->SetParent(this);
  label(0, 6, frtext::FormatText, Panel2);
  FormatEdit = new TEdit(this);
  FormatEdit->SetBounds(0, 24, 284, 21);
  FormatEdit->SetParent(Panel2);
  FormatEdit->OnChange = TNotifyEvent(this, &TfrFmtForm::FormatTextChange);

  OkButton = new TButton(this);
  OkButton->SetBounds(136, 134, 75, 25);
  OkButton->SetParent(this);
  OkButton->SetCaption(frtext::OK);
  OkButton->SetDefault(true);
  OkButton->SetModalResult(mrOk);
  CancelButton = new TButton(this);
  CancelButton->SetBounds(217, 134, 75, 25);
  CancelButton->SetParent(this);
  CancelButton->SetCaption(frtext::Cancel);
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);
}

void TfrFmtForm::Activate() {
  TForm::Activate();
  FillFromFormat();
}

void TfrFmtForm::SetBits(int Shift, int Mask, int Value) {
  Format = (Format & ~(Mask << Shift)) | ((Value & Mask) << Shift);
}

void TfrFmtForm::FillFromFormat() {
  filling_ = true;
  Panel1->Hide();
  Panel2->Hide();
  ComboBox1->Items()->Clear();
  for (const QString &c : frFormatCategories()) ComboBox1->Items()->Add(c);
  const int category = frFormatCategory(Format);
  ComboBox1->SetItemIndex(category < ComboBox1->Items()->Count() ? category : 0);
  FillVariants();
  const int variant = frFormatVariant(Format);
  ComboBox2->SetItemIndex(variant < ComboBox2->Items()->Count() ? variant : 0);
  FormatEdit->SetText(FormatStr);
  filling_ = false;
  UpdatePanels();
}

void TfrFmtForm::FillVariants() {
  ComboBox2->Items()->Clear();
  for (const QString &v : frFormatVariants(std::max(0, ComboBox1->ItemIndex())))
    if (!v.isEmpty()) ComboBox2->Items()->Add(v);
}

void TfrFmtForm::UpdatePanels() {
  const bool custom = ComboBox2->ItemIndex() == frFormatCustom;
  Panel2->SetVisible(custom);
  const bool number = ComboBox1->ItemIndex() == 1 && !custom;
  Panel1->SetVisible(number);
  if (number) {
    const bool was = filling_;
    filling_ = true;
    DecimalsEdit->SetText(QString::number(frFormatDecimals(Format)));
    SeparatorEdit->SetText(QString(QChar(char16_t(frFormatSeparator(Format)))));
    filling_ = was;
  }
}

void TfrFmtForm::CategoryChange(TObject *) {
  if (filling_) return;
  SetBits(24, 0x0F, std::max(0, ComboBox1->ItemIndex()));
  filling_ = true;
  FillVariants();
  ComboBox2->SetItemIndex(0);
  FormatEdit->SetText(QString());
  filling_ = false;
  SetBits(16, 0xFF, 0);
  FormatStr.clear();
  UpdatePanels();
}

void TfrFmtForm::VariantChange(TObject *) {
  if (filling_) return;
  SetBits(16, 0xFF, std::max(0, ComboBox2->ItemIndex()));
  UpdatePanels();
}

void TfrFmtForm::DecimalsChange(TObject *) {
  if (filling_) return;
  // Only a whole number of places counts; anything else leaves the word as it was.
  bool ok = false;
  const int places = DecimalsEdit->Text().trimmed().toInt(&ok);
  if (ok && places >= 0 && places <= 255) SetBits(8, 0xFF, places);
}

void TfrFmtForm::SeparatorChange(TObject *) {
  if (filling_) return;
  const QString text = SeparatorEdit->Text();
  if (text.isEmpty()) {
    SetBits(0, 0xFF, ',');
    return;
  }
  // The word holds one byte: a character beyond it leaves the word as it was.
  const char16_t c = text[0].unicode();
  if (c <= 0xFF) SetBits(0, 0xFF, c);
}

void TfrFmtForm::FormatTextChange(TObject *) {
  if (!filling_) FormatStr = FormatEdit->Text();
}

bool frRunFormatDialog(int &Format, QString &FormatStr) {
  auto *form = TCustomForm::Create<TfrFmtForm>(nullptr);
  form->Format = Format;
  form->FormatStr = FormatStr;
  const bool ok = form->ShowModal() == mrOk;
  if (ok) {
    Format = form->Format;
    FormatStr = form->FormatStr;
  }
  form->Free();
  return ok;
}
