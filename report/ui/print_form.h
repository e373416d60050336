// The print dialog the preview shows before printing: the printer (chosen at once in the report engine's
// printer wrapper, and put back when the dialog is not confirmed), the number of copies and the pages.
//
// OK checks what was typed before the dialog closes: the copies must be a whole number from 1 to
// frMaxCopies and a page list must name pages of the report (as PageListError judges); otherwise a message
// says what is wrong and the dialog stays open on that field.
#pragma once
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/forms.h"
#include "report/ui/preview_form.h"
#include <functional>
#include <optional>

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TRadioButton;
class TfrGroupFrame;
class TfrSpeedButton;

constexpr int frMaxCopies = 999;

// The copies typed, when they are a whole number from 1 to frMaxCopies.
std::optional<int> frParseCopies(const QString &Text);

class TfrPrintForm : public TForm {
public:
  explicit TfrPrintForm(TComponent *AOwner);
  ~TfrPrintForm() override;
  QString ClassName() const override { return QStringLiteral("TfrPrintForm"); }

  // What is wrong with a page list (empty when it is good); not set: any list is taken.
  std::function<QString(const QString &PageNumbers)> PageListError;
  // The printer index when the dialog opened.
  int OldPrinterIndex() const { return oldIndex_; }
  // The request as typed: the page list (empty for all pages, the current page's number, or the numbers
  // typed) and the copies (1 when they are not a number).
  TfrPrintRequest Request(int CurrentPage) const;

  void PlusClick(TObject *);
  void MinusClick(TObject *);
  void PropertiesClick(TObject *);
  void OkClick(TObject *);

  TfrGroupFrame *GroupBox1 = nullptr;
  TComboBox *CB1 = nullptr;
  TButton *PropButton = nullptr;
  TLabel *Label1 = nullptr;
  TEdit *E1 = nullptr;
  TfrSpeedButton *PlusBtn = nullptr;
  TfrSpeedButton *MinusBtn = nullptr;
  TfrGroupFrame *GroupBox2 = nullptr;
  TRadioButton *RB1 = nullptr;
  TRadioButton *RB2 = nullptr;
  TRadioButton *RB3 = nullptr;
  TEdit *E2 = nullptr;
  TLabel *Label2 = nullptr;
  TButton *OkButton = nullptr;
  TButton *CancelButton = nullptr;

protected:
  void DoClose(TCloseAction &Action) override;

private:
  void FillPrinters();
  void PrinterChosen(TObject *);
  void DrawPrinter(TWinControl *Control, int Index, TRect Rect, TOwnerDrawState State);
  void SetCopies(int Copies);

  int oldIndex_ = 0;
  std::unique_ptr<TBitmap> printerPicture_;
};

// Shows the print dialog for a report of PageCount pages shown at CurrentPage; true on OK with the request
// and the printer indexes before and after.
bool frRunPrintDialog(int CurrentPage, const std::function<QString(const QString &)> &PageListError,
                      TfrPrintRequest &Request, int &OldPrinter, int &NewPrinter);
