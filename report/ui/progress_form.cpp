#include "report/ui/progress_form.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/application.h"
#include "report/ui/ui_texts.h"

TfrProgressForm::TfrProgressForm(TComponent *AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(300, 94);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetSize(8);
  Label1 = new TLabel(this);
  Label1->SetAutoSize(false);
  Label1->SetShowAccelChar(false);
  Label1->SetBounds(12, 16, 276, 17);
  Label1->SetParent(this);
  Button1 = new TButton(this);
  Button1->SetBounds(113, 52, 75, 25);
  Button1->SetParent(this);
  Button1->SetCaption(frtext::Cancel);
  Button1->SetCancel(true);
  Button1->OnClick = TNotifyEvent(this, &TfrProgressForm::CancelClick);
}

void TfrProgressForm::CancelClick(TObject *) {
  if (OnCancel) OnCancel();
  Finish(mrCancel);
}

void TfrProgressForm::Finish(TModalResult Result) {
  if (ModalResult() == mrNone) SetModalResult(Result);
}

void TfrProgressForm::WndProc(TMessage &Message) {
  if (Message.Msg == WM_FR_PROGRESS_STEP) {
    RunStep();
    return;
  }
  if (Message.Msg == WM_CLOSE && running_) {
    // The close box cancels the work as the button does.
    CancelClick(this);
    return;
  }
  TForm::WndProc(Message);
}

void TfrProgressForm::RunStep() {
  running_ = true;
  try {
    if (OnExecute) OnExecute();
  } catch (...) {
    failure_ = std::current_exception();
  }
  running_ = false;
  Finish(failure_ ? mrAbort : mrOk);
}

TModalResult TfrProgressForm::Execute() {
  failure_ = nullptr;
  SetModalResult(mrNone);
  PostMessage(Handle(), WM_FR_PROGRESS_STEP);
  const TModalResult result = ShowModal();
  if (failure_) {
    std::exception_ptr failure = failure_;
    failure_ = nullptr;
    std::rethrow_exception(failure);
  }
  return result;
}

// ---- the report's progress window ----

TfrProgressFormWindow::TfrProgressFormWindow() : form_(TCustomForm::Create<TfrProgressForm>(nullptr)) {}

TfrProgressFormWindow::~TfrProgressFormWindow() {
  if (form_) form_->Free();
}

void TfrProgressFormWindow::SetCaption(const QString &Caption) { form_->SetCaption(Caption); }

void TfrProgressFormWindow::SetLabel(const QString &Text) {
  form_->Label1->SetCaption(Text);
  form_->Label1->Repaint();
}

TModalResult TfrProgressFormWindow::Execute(const std::function<void()> &Step,
                                            const std::function<void()> &Cancel) {
  form_->OnExecute = Step;
  form_->OnCancel = Cancel;
  return form_->Execute();
}

void TfrProgressFormWindow::Close(TModalResult Result) { form_->Finish(Result); }
