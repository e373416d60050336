// The windows the report component works through, behind small interfaces so that the engine runs (and is
// tested) without them: the progress window that preparing, printing and exporting run behind, the preview
// window, and the preview panel an application places on its own form. The report's windows (report/ui)
// install the real ones at start-up; until then the non-visual defaults below run the work at once and
// show nothing.
#pragma once
#include "platform/windowing/forms.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TComponent;
class TfrReport;

// ---- progress window ----

// The modal window behind which long report work runs. The report sets the caption and the label, then
// calls Execute with its step. The step does the work, sets the label between pages (the report processes
// the application's messages after each update) and ends the window with Close when it is done.
class TfrProgressWindow {
public:
  virtual ~TfrProgressWindow() = default;
  virtual void SetCaption(const QString &Caption) = 0;
  // The whole label text, such as "Processing page:  3".
  virtual void SetLabel(const QString &Text) = 0;
  // Shows the window modally and runs Step once it shows. The window's Cancel button calls Cancel (which
  // sets the report's terminated flag, so that the step stops at its next check) and ends the window with
  // mrCancel. Returns the result the window ended with. An exception thrown by Step ends the window and is
  // rethrown from Execute, so that the report's caller hears of it.
  virtual TModalResult Execute(const std::function<void()> &Step, const std::function<void()> &Cancel) = 0;
  // Ends the window with Result (the step calls it when its work is done); later calls change nothing.
  virtual void Close(TModalResult Result) = 0;
};

// The non-visual progress window, the default: Execute runs the step at once and answers the result the
// step closed with (mrOk when it did not close). Tests derive from it to watch the labels or to press
// Cancel in the middle of a run.
class TfrDirectProgress : public TfrProgressWindow {
public:
  void SetCaption(const QString &Caption) override { this->Caption = Caption; }
  void SetLabel(const QString &Text) override { Label = Text; }
  TModalResult Execute(const std::function<void()> &Step, const std::function<void()> &Cancel) override;
  void Close(TModalResult Result) override;
  // What the Cancel button does: sets the report's terminated flag and ends the window with mrCancel.
  void PressCancel();

  QString Caption;
  QString Label;

private:
  std::function<void()> cancel_;
  TModalResult result_ = mrNone;
  bool running_ = false;
};

// Makes the progress windows the report uses; nullptr puts the non-visual default back.
using TfrProgressWindowFactory = std::function<std::unique_ptr<TfrProgressWindow>()>;
void frSetProgressWindowFactory(TfrProgressWindowFactory Factory);
std::unique_ptr<TfrProgressWindow> frCreateProgressWindow();

// ---- preview ----

// A preview panel placed on an application's form (the report's Preview property). The report owns its
// prepared pages; the panel only refers to them (TfrReport::EMFPages) and keeps no copy. A panel that must
// outlive a report uses the report's FreeNotification to hear of its removal.
class TfrPreviewPanel {
public:
  virtual ~TfrPreviewPanel() = default;
  // The panel as a component: the report clears its Preview property when this component is removed.
  virtual TComponent *PreviewComponent() = 0;
  // Shows the report's prepared pages, page 1 first.
  virtual void ShowReport(TfrReport *Report) = 0;
};

// Opens the stand-alone preview window on the report's prepared pages under Caption, modally when the
// report's ModalPreview is on. The default opens nothing.
using TfrPreviewWindowOpener = std::function<void(TfrReport *Report, const QString &Caption)>;
void frSetPreviewWindowOpener(TfrPreviewWindowOpener Opener);
void frOpenPreviewWindow(TfrReport *Report, const QString &Caption);
