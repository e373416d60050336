#include "controls/buttons/run_once.h"
#include "platform/windowing/application.h"
#include "platform/windowing/system_services.h"
#include <QtGlobal>

TVrRunOnce::TVrRunOnce(TComponent *AOwner) : TVrComponent(AOwner) {}

// The guard is released with the component.
TVrRunOnce::~TVrRunOnce() = default;

void TVrRunOnce::Loaded() {
  TVrComponent::Loaded();
  if (!ComponentState().Contains(csDesigning)) RunGuard();
}

void TVrRunOnce::RunGuard() {
  if (ran_) return;
  ran_ = true;
  guard_ = std::make_unique<TSingleInstanceGuard>(Application()->Title(), guardDirectory_);
  switch (guard_->Acquire()) {
  case TSingleInstanceGuard::TState::First: guard_->OnComeForward = [this] { ComeForward(); }; return;
  case TSingleInstanceGuard::TState::Failed:
    // Not another copy: our own guard could not be made. Run unguarded rather than refuse to start.
    qWarning("%s runs without its single-instance guard: %s", qUtf8Printable(Application()->Title()),
             qUtf8Printable(guard_->ErrorString()));
    guard_.reset();
    return;
  case TSingleInstanceGuard::TState::Second:
  case TSingleInstanceGuard::TState::NotAcquired: break;
  }

  anotherCopy_ = true;
  if (OnExists) OnExists(this);
  // The running copy is reached through its guard only: no other program's window is looked up or touched.
  if (restorePrevInst_) guard_->AskFirstToComeForward();
  if (terminate_) {
    if (showMessage_) ::MessageBox(0, messageText_, Application()->Title(), MB_OK | MB_ICONINFORMATION);
    Application()->Terminate();
  }
}

void TVrRunOnce::ComeForward() {
  TApplication *application = Application();
  if (application->MainForm()) application->BringToFront();
}
