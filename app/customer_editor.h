// TCUSTEDIT (CUSTEDIT): adds a customer to the CUST table or edits the current one; the customer list opens
// it. FillBlank or FillCurrent prepares it before each show.
//
// SAVE refuses an empty name (or one of blanks) with a message. A customer the database refuses to store is
// reported and left out: the table is as it was, and the dialog stays open with what was typed. Enter saves
// and Escape cancels, wherever the focus is.
#pragma once
#include "controls/buttons/hyper_button.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"

class TCUSTEDIT : public TForm {
public:
  explicit TCUSTEDIT(TComponent *AOwner);
  ~TCUSTEDIT() override;
  QString ClassName() const override { return QStringLiteral("TCUSTEDIT"); }

  // Empty edits for a new customer (insert mode), the name focused.
  void FillBlank();
  // The current CUST row's name and address in the edits (edit mode), the name focused.
  void FillCurrent();
  // Stores the customer and closes (mode in ButtonSAVE's tag: 1 insert, 0 edit).
  void ButtonSAVEClick(TObject *Sender);
  // Closes without a change.
  void ButtonCANCELClick(TObject *Sender);
  void FormKeyDown(TObject *Sender, WORD &Key, TShiftState Shift);

  TLabel *Label1 = nullptr; // "NAME"
  TEdit *Edit1 = nullptr;
  TLabel *Label2 = nullptr; // "ADDRESS"
  TEdit *Edit2 = nullptr;
  TEdit *Edit3 = nullptr;
  TEdit *Edit4 = nullptr;
  TEdit *Edit5 = nullptr;
  TEdit *Edit6 = nullptr;
  TVrHyperButton *ButtonSAVE = nullptr;
  TVrHyperButton *ButtonCANCEL = nullptr;

private:
  QList<TEdit *> Edits() const { return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6}; }
  void FocusName();
};

extern TCUSTEDIT *CUSTEDIT;
