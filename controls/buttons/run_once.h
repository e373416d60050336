// TVrRunOnce: keeps a second copy of the program from running. When the component has been loaded with its
// form or data module, it takes the single-instance guard named after the application's title. The first
// copy keeps it and comes forward (restored when minimised) whenever a later copy asks. A later copy fires
// OnExists, asks the first copy to come forward (RestorePrevInst), shows MessageText when ShowMessage is
// set, and asks its own application to end (Terminate), so that it starts nothing more.
//
// A guard that cannot be set up (the lock file cannot be made) is not taken for another copy: the program
// runs as the first copy and a warning says why it is unguarded.
#pragma once
#include "controls/buttons/graphic_controls.h"
#include "platform/windowing/single_instance.h"
#include <memory>

class TVrRunOnce : public TVrComponent {
public:
  explicit TVrRunOnce(TComponent *AOwner);
  ~TVrRunOnce() override;
  QString ClassName() const override { return QStringLiteral("TVrRunOnce"); }

  // Runs the guard (once), unless at design time.
  void Loaded() override;

  bool RestorePrevInst() const { return restorePrevInst_; }
  void SetRestorePrevInst(bool Value) { restorePrevInst_ = Value; }
  bool Terminate() const { return terminate_; }
  void SetTerminate(bool Value) { terminate_ = Value; }
  bool ShowMessage() const { return showMessage_; }
  void SetShowMessage(bool Value) { showMessage_ = Value; }
  QString MessageText() const { return messageText_; }
  void SetMessageText(const QString &Value) { messageText_ = Value; }
  TNotifyEvent OnExists;

  // Where the guard's lock file and socket live; empty (the default) for the user's runtime folder. Must be
  // set before the component is loaded.
  QString GuardDirectory() const { return guardDirectory_; }
  void SetGuardDirectory(const QString &Value) { guardDirectory_ = Value; }

  // Whether the guard has run, and whether it found another copy running.
  bool GuardRan() const { return ran_; }
  bool AnotherCopyRuns() const { return anotherCopy_; }

private:
  void RunGuard();
  void ComeForward();

  bool restorePrevInst_ = true;
  bool terminate_ = true;
  bool showMessage_ = false;
  QString messageText_;
  QString guardDirectory_;
  std::unique_ptr<TSingleInstanceGuard> guard_;
  bool ran_ = false;
  bool anotherCopy_ = false;
};
