// The progress window behind which the report prepares, prints and exports: a line of text the work keeps
// up to date and a Cancel button. The work runs as the window's step, started by a message the window posts
// itself before it shows modally, so the window is on the screen while it runs and the application's
// messages (the Cancel button among them) are processed between pages.
#pragma once
#include "platform/windowing/forms.h"
#include "report/report_hooks.h"
#include <exception>
#include <functional>
#include <memory>

class TButton;
class TLabel;

// The private message that starts the step.
constexpr UINT WM_FR_PROGRESS_STEP = WM_USER + 1;

class TfrProgressForm : public TForm {
public:
  explicit TfrProgressForm(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrProgressForm"); }
  void WndProc(TMessage &Message) override;

  // Posts itself the step message and shows modally until the step closes the window (or Cancel does);
  // the result it ended with. A step that ends without closing the window ends it with mrOk. An exception
  // of the step ends the window and is raised again here.
  TModalResult Execute();
  // Ends the window with Result unless it has ended already.
  void Finish(TModalResult Result);
  bool Running() const { return running_; }

  // The work.
  std::function<void()> OnExecute;
  // What Cancel does to the work (the report's terminated flag).
  std::function<void()> OnCancel;

  TLabel *Label1 = nullptr;
  TButton *Button1 = nullptr;

private:
  void CancelClick(TObject *);
  void RunStep();

  bool running_ = false;
  std::exception_ptr failure_;
};

// The report's progress window (report_hooks.h) over a TfrProgressForm.
class TfrProgressFormWindow : public TfrProgressWindow {
public:
  TfrProgressFormWindow();
  ~TfrProgressFormWindow() override;
  void SetCaption(const QString &Caption) override;
  void SetLabel(const QString &Text) override;
  TModalResult Execute(const std::function<void()> &Step, const std::function<void()> &Cancel) override;
  void Close(TModalResult Result) override;
  TfrProgressForm *Form() const { return form_; }

private:
  TfrProgressForm *form_ = nullptr;
};
