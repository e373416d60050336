// The display-format dialog of a text object: it edits one format word and, for the Custom variants, the
// format text. The word holds the category in bits 24-27 (0 text, 1 number, 2 date, 3 time, 4 boolean), the
// variant in bits 16-23 (4 is Custom), the number of decimal places in bits 8-15 and the decimal separator
// character in bits 0-7.
#pragma once
#include "platform/windowing/forms.h"
#include "report/value_format.h"
#include <QString>
#include <QStringList>

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TPanel;

constexpr int frFormatCustom = 4;

// The five category names and the variants of a category, as the lists show them.
QStringList frFormatCategories();
QStringList frFormatVariants(int Category);

class TfrFmtForm : public TForm {
public:
  explicit TfrFmtForm(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrFmtForm"); }

  // The word and the custom format text: set before showing, read after OK.
  int Format = 0;
  QString FormatStr;

  // The lists and fields, filled from Format when the dialog comes up.
  void FillFromFormat();
  void CategoryChange(TObject *);
  void VariantChange(TObject *);
  void DecimalsChange(TObject *);
  void SeparatorChange(TObject *);
  void FormatTextChange(TObject *);

  TLabel *CategoryLabel = nullptr;
  TComboBox *ComboBox1 = nullptr;
  TLabel *VariantLabel = nullptr;
  TComboBox *ComboBox2 = nullptr;
  TPanel *Panel1 = nullptr;
  TEdit *DecimalsEdit = nullptr;
  TEdit *SeparatorEdit = nullptr;
  TPanel *Panel2 = nullptr;
  TEdit *FormatEdit = nullptr;
  TButton *OkButton = nullptr;
  TButton *CancelButton = nullptr;

protected:
  void Activate() override;

private:
  void FillVariants();
  void UpdatePanels();
  void SetBits(int Shift, int Mask, int Value);
  bool filling_ = false;
};

// Shows the dialog modally for a format word and text; true with both updated on OK.
bool frRunFormatDialog(int &Format, QString &FormatStr);
