// TSETTINGS (SETTINGS): edits the single CONTROL row: the company details printed on invoices, the next
// invoice number, the default tax percent and invoice type, the footnote and the company logo. The main
// window runs Setup, centres the dialog and shows it modally; afterwards it takes over DD->DefaultTaxPCT.
// "Next Invoice Number" shows the number the next invoice gets (invoice_storage.h); saving n stores
// LastINV n - 1.
//
// SAVE refuses, with a message and the dialog left open on the row to mend, a value a row cannot read, a
// next invoice number below 1 or not above the highest stored invoice number, and a default tax percent the
// main window cannot hold (amounts.h: below 0, too large, or with more than one decimal). Texts another
// program stored longer than their fields are shown cut to them. Escape cancels; Ctrl+Enter saves (Enter
// takes the value of a row over). The logo goes between the LOGO field and the picture in memory; a chosen
// file that is not a readable bitmap is refused with a message and the logo stays as it was. A save the
// database refuses is reported, CONTROL is left as it was and the dialog stays open with what was typed.
#pragma once
#include "app/focus_keeping_button.h"
#include "controls/buttons/glyph_button.h"
#include "grids/inspector/inspector_grid.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"

class TSETTINGS : public TForm {
public:
  explicit TSETTINGS(TComponent *AOwner);
  ~TSETTINGS() override;
  QString ClassName() const override { return QStringLiteral("TSETTINGS"); }

  // Fills the rows and the picture from CONTROL; run before each show.
  void Setup();
  void FormShow(TObject *Sender);
  // Turns the Email and Website rows into small letters.
  void EGrid1ItemChange(TObject *Sender, int Item);
  // "Change": a new logo from a bitmap file.
  void CorelGlyphButton1Click(TObject *Sender);
  // "SAVE": stores the rows (and a new logo) in CONTROL, updates the cached defaults and closes.
  void Button1Click(TObject *Sender);
  // "Cancel": closes; nothing is written.
  void Button2Click(TObject *Sender);
  void FormKeyDown(TObject *Sender, WORD &Key, TShiftState Shift);
  // What the user is told at start when CONTROL holds texts longer than their fields; empty when none.
  QString OverlongTextsWarning();

  // The rows of EGrid1.
  enum TSettingsRow {
    rowCompany,
    rowAddress,
    rowPhone,
    rowFax,
    rowEmail,
    rowWebsite,
    rowNextInvoice,
    rowTaxPercent,
    rowInvoiceType,
    rowFootNote
  };

  TO32InspectorGrid *EGrid1 = nullptr;
  TLabel *Label1 = nullptr; // "LOGO"
  TPanel *Panel1 = nullptr; // the raised frame round the picture
  TImage *Image1 = nullptr; // tag 1: a new logo was chosen
  TCorelGlyphButton *CorelGlyphButton1 = nullptr;
  TOpenDialog *OD1 = nullptr;
  // A click leaves the focus in the grid, whose editor SAVE takes over.
  TFocusKeepingButton *Button1 = nullptr; // "SAVE"
  TFocusKeepingButton *Button2 = nullptr; // "Cancel"

private:
  TO32InspectorItem *Row(TSettingsRow Which) const { return EGrid1->ItemAt(Which); }
  // Refuses with Message, the row current and its editor focused.
  void Refuse(TSettingsRow Which, const QString &Message);
  // Makes the row current with its text selected in its focused editor.
  void FocusRow(TSettingsRow Which);
  // The message a next invoice number is refused with, empty when it may be saved.
  static QString NextInvoiceRefusal(int Next);
};

extern TSETTINGS *SETTINGS;
