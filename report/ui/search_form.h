// The preview's find dialog: the text to find, whether case matters, and whether the search starts on the
// first page or on the page shown.
#pragma once
#include "platform/windowing/forms.h"
#include "report/ui/preview_form.h"

class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TRadioButton;
class TfrGroupFrame;

class TfrPreviewSearchForm : public TForm {
public:
  explicit TfrPreviewSearchForm(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrPreviewSearchForm"); }

  // Fills the dialog from a request, and the request from the dialog.
  void SetRequest(const TfrFindRequest &Request);
  TfrFindRequest Request() const;

  TLabel *Label1 = nullptr;
  TEdit *Edit1 = nullptr;
  TfrGroupFrame *GroupBox1 = nullptr;
  TCheckBox *CB1 = nullptr;
  TfrGroupFrame *GroupBox2 = nullptr;
  TRadioButton *RB1 = nullptr;
  TRadioButton *RB2 = nullptr;
  TButton *Button1 = nullptr;
  TButton *Button2 = nullptr;

protected:
  // The text to find is focused and selected whenever the dialog comes up.
  void Activate() override;
};

// Shows the find dialog modally with Request's text and case flag; true and Request filled on OK.
bool frRunFindDialog(TfrFindRequest &Request);
