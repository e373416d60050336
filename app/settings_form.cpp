#include "app/settings_form.h"
#include "app/amounts.h"
#include "app/data_module.h"
#include "app/form_parts.h"
#include "app/invoice_storage.h"
#include "platform/core/number_format.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/application.h"
#include "platform/windowing/virtual_keys.h"
#include <QDir>
#include <cmath>
#include <memory>

TSETTINGS *SETTINGS = nullptr;

namespace {
const QString kItems = QStringLiteral("ITEMS");
const QString kServices = QStringLiteral("SERVICES");
constexpr int kNewLogo = 1;

// The text rows and the CONTROL fields they show.
struct TTextRow {
  TSETTINGS::TSettingsRow Row;
  TStringField *TDD::*Field;
};
constexpr TTextRow kTextRows[] = {
    {TSETTINGS::rowCompany, &TDD::CONTROLCOMPANY},  {TSETTINGS::rowAddress, &TDD::CONTROLADDRESS},
    {TSETTINGS::rowPhone, &TDD::CONTROLPHONE},      {TSETTINGS::rowFax, &TDD::CONTROLFAX},
    {TSETTINGS::rowEmail, &TDD::CONTROLEMAIL},      {TSETTINGS::rowWebsite, &TDD::CONTROLWEBSITE},
    {TSETTINGS::rowFootNote, &TDD::CONTROLFootNote}};
} // namespace

TSETTINGS::TSETTINGS(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("SETTINGS"), QStringLiteral("  SETTINGS"), 519, 410);
  OnShow = TNotifyEvent(this, &TSETTINGS::FormShow);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TSETTINGS::FormKeyDown);

  EGrid1 = NewControl<TO32InspectorGrid>(this, QStringLiteral("EGrid1"), Bounds(1, 8, 517, 204));
  EGrid1->SetItemTextColor(clBlue);
  const struct {
    const char *Caption;
    TO32IGridItemType Type;
  } rows[] = {{"Company Name", itString},
              {"Address", itString},
              {"Phone", itString},
              {"Fax", itString},
              {"Email", itString},
              {"Website", itString},
              {"Next Invoice Number", itInteger},
              {"Default Tax Percent", itFloat},
              {"Default Invoice Type", itList},
              {"Invoice FootNote", itString}};
  for (const auto &row : rows) EGrid1->AddItem(row.Type)->SetCaption(QString::fromLatin1(row.Caption));
  TStringList invoiceTypes;
  invoiceTypes.Add(kItems);
  invoiceTypes.Add(kServices);
  Row(rowInvoiceType)->SetItemsList(&invoiceTypes);
  EGrid1->OnItemChange = To32IGridItemEvent(this, &TSETTINGS::EGrid1ItemChange);

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("LOGO"), 12, 232);
  Panel1 = NewControl<TPanel>(this, QStringLiteral("Panel1"), Bounds(12, 250, 249, 153));
  Panel1->SetBevelOuter(bvRaised);
  Panel1->SetCaption(QString());
  Image1 = NewControl<TImage>(this, Panel1, QStringLiteral("Image1"), Bounds(2, 2, 245, 149));
  Image1->SetStretch(true);
  CorelGlyphButton1 = NewButton<TCorelGlyphButton>(this, QStringLiteral("CorelGlyphButton1"),
                                                   QStringLiteral("Change"), Bounds(272, 250, 75, 25),
                                                   TNotifyEvent(this, &TSETTINGS::CorelGlyphButton1Click));

  OD1 = NewComponent<TOpenDialog>(this, QStringLiteral("OD1"));
  OD1->Title = QStringLiteral("Select Logo Bitmap File");
  OD1->Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
  OD1->DefaultExt = QStringLiteral("bmp");
  OD1->InitialDir = QDir::homePath();
  OD1->Options = TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist};

  Button1 =
      NewButton<TFocusKeepingButton>(this, QStringLiteral("Button1"), QStringLiteral("SAVE"),
                                     Bounds(352, 378, 75, 25), TNotifyEvent(this, &TSETTINGS::Button1Click));
  Button2 =
      NewButton<TFocusKeepingButton>(this, QStringLiteral("Button2"), QStringLiteral("Cancel"),
                                     Bounds(435, 378, 75, 25), TNotifyEvent(this, &TSETTINGS::Button2Click));
}

TSETTINGS::~TSETTINGS() {
  if (SETTINGS == this) SETTINGS = nullptr;
}

void TSETTINGS::Setup() {
  for (const TTextRow &text : kTextRows) {
    const TStringField *field = DD->*text.Field;
    Row(text.Row)->SetMaxLength(field->Size());
    // A text another program made longer than its field is shown cut to it (OverlongTextsWarning).
    Row(text.Row)->SetDisplayText(field->AsString().left(field->Size()));
  }
  Row(rowNextInvoice)->AssignVariant(NextInvoiceNumber(*DD));
  Row(rowTaxPercent)->AssignVariant(DD->CONTROLTaxPCT->AsFloat());
  Row(rowInvoiceType)->SetDisplayText(DD->CONTROLINVTYPE->AsInteger() == 0 ? kItems : kServices);

  try {
    TBlobStream logo(DD->CONTROLLOGO, bmRead);
    Image1->Picture()->LoadFromStream(&logo);
  } catch (const EInvalidGraphic &) {
    // A stored logo that cannot be read shows as none; it stays stored until another is chosen.
    Image1->Picture()->SetGraphic(nullptr);
  }
  Image1->SetTag(0);
}

void TSETTINGS::FormShow(TObject *) {
  EGrid1->SetColumnWidth(0, 112);
  EGrid1->SetColumnWidth(1, 400);
  EGrid1->SelectRow(1);
  EGrid1->SelectRow(0);
  EGrid1->SetFocus();
}

void TSETTINGS::EGrid1ItemChange(TObject *, int) {
  for (TSettingsRow row : {rowEmail, rowWebsite}) Row(row)->SetDisplayText(Row(row)->DisplayText().toLower());
}

void TSETTINGS::CorelGlyphButton1Click(TObject *) {
  // Ends an edit in progress, which the grid takes over as it is left.
  EGrid1->SetFocus();
  if (!OD1->Execute()) return;
  auto logo = std::make_unique<TBitmap>();
  try {
    logo->LoadFromFile(OD1->FileName);
  } catch (const Exception &refused) {
    ShowMessage(QStringLiteral("\"%1\" is not a bitmap that can be read; the logo stays as it was.\n\n%2")
                    .arg(QDir::toNativeSeparators(OD1->FileName), refused.Message()));
    return;
  }
  Image1->Picture()->SetGraphic(logo.get());
  Image1->SetTag(kNewLogo);
}

QString TSETTINGS::NextInvoiceRefusal(int Next) {
  if (Next < 1) return QStringLiteral("The next invoice number must be 1 or more.");
  const double highest = HighestInvoiceNumber(*DD);
  if (Next <= highest)
    return QStringLiteral("The next invoice number must be above %1, the highest number of a stored invoice.")
        .arg(FloatToStr(highest));
  return QString();
}

void TSETTINGS::Refuse(TSettingsRow Which, const QString &Message) {
  ShowMessage(Message);
  FocusRow(Which);
}

void TSETTINGS::FocusRow(TSettingsRow Which) {
  EGrid1->SelectRow(EGrid1->ItemCollection()->RowOf(Row(Which)));
  EGrid1->ShowEditor();
  EGrid1->SetFocus();
  // Selected, to be typed over.
  if (auto *edit = dynamic_cast<TCustomEdit *>(EGrid1->Editor())) edit->SelectAll();
}

void TSETTINGS::Button1Click(TObject *) {
  // The value being typed is taken over; one the row cannot read is refused and stays in the editor.
  try {
    EGrid1->CommitEditor();
  } catch (const Exception &refused) {
    Application()->ShowException(refused);
    return FocusRow(TSettingsRow(EGrid1->Row()));
  }

  const int next = Row(rowNextInvoice)->IntegerValue();
  if (const QString refusal = NextInvoiceRefusal(next); !refusal.isEmpty())
    return Refuse(rowNextInvoice, refusal);
  const double tax = Row(rowTaxPercent)->FloatValue();
  if (!IsTaxPercent(tax))
    return Refuse(
        rowTaxPercent,
        QStringLiteral("The default tax percent must be a number from 0 to %1 with at most %2 decimal.")
            .arg(FloatToStr(MaxTaxPercent))
            .arg(TaxPercentDigits));

  TffTable *control = DD->CONTROL;
  control->Edit();
  // Refused, CONTROL stays as it was and the dialog keeps what was typed.
  PostOrCancel(control, [&] {
    for (const TTextRow &text : kTextRows) (DD->*text.Field)->SetAsString(Row(text.Row)->DisplayText());
    DD->CONTROLLastINV->SetAsInteger(next - 1);
    DD->CONTROLTaxPCT->SetAsFloat(tax);
    DD->CONTROLINVTYPE->SetAsInteger(Row(rowInvoiceType)->DisplayText() == kItems ? 0 : 1);
    if (Image1->Tag() == kNewLogo) {
      TBlobStream logo(DD->CONTROLLOGO, bmWrite);
      Image1->Picture()->SaveToStream(&logo);
    }
  });
  DD->DefaultTaxPCT = DD->CONTROLTaxPCT->AsFloat();
  DD->DefaultINVTYPE = DD->CONTROLINVTYPE->AsInteger();
  SetModalResult(mrOk);
}

void TSETTINGS::Button2Click(TObject *) { Close(); }

void TSETTINGS::FormKeyDown(TObject *, WORD &Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    Key = 0;
    Button2Click(this);
  } else if (Key == VK_RETURN && Shift.Contains(ssCtrl)) {
    // Enter alone takes a row's value over in the grid.
    Key = 0;
    Button1Click(this);
  }
}

QString TSETTINGS::OverlongTextsWarning() {
  QStringList overlong;
  for (const TTextRow &text : kTextRows) {
    const TStringField *field = DD->*text.Field;
    if (field->AsString().size() > field->Size())
      overlong << QStringLiteral("%1 (%2 characters, at most %3)")
                      .arg(Row(text.Row)->Caption())
                      .arg(field->AsString().size())
                      .arg(field->Size());
  }
  if (overlong.isEmpty()) return QString();
  return QStringLiteral(
             "Some settings are longer than their fields allow, as another program left them: %1.\n\n"
             "Edit Settings shows them cut to fit, and saving the settings stores them so. Invoices "
             "can be made meanwhile.")
      .arg(overlong.join(QStringLiteral(", ")));
}
