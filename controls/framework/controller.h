// TOvcController: the object that coordinates the library's controls on one form. It owns the keyboard
// command processor, the default entry options, the two-digit-year epoch, the shared insert mode and the
// timer pool, and fires the form-wide notifications through a hidden window of its own, so that they run
// after the focus change that caused them has finished.
//
// A form that places no controller uses the shared default controller (GetDefaultController), made on first
// request and freed with the application's finalizers.
#pragma once
#include "controls/framework/base.h"
#include "controls/framework/command_processor.h"
#include "controls/framework/timer_pool.h"
#include "platform/core/small_set.h"

class TWinControl;
class TCustomForm;

enum TOvcBaseEFOption {
  efoAutoAdvanceChar,
  efoAutoAdvanceLeftRight,
  efoAutoAdvanceUpDown,
  efoAutoSelect,
  efoBeepOnError,
  efoInsertPushes
};
using TOvcBaseEFOptions = TSmallSet<TOvcBaseEFOption>;

using TDelayNotifyEvent = TEvent<void(TObject *Sender, WORD NotifyCode)>;
using TDataErrorEvent = TEvent<void(TObject *Sender, WORD ErrorCode, const QString &ErrorMsg)>;
using TGetEpochEvent = TEvent<void(TObject *Sender, int &Epoch)>;
using TIsSpecialControlEvent = TEvent<void(TObject *Sender, TWinControl *Control, bool &Special)>;
using TPostEditEvent = TEvent<void(TObject *Sender, TWinControl *GainingControl)>;
using TPreEditEvent = TEvent<void(TObject *Sender, TWinControl *LosingControl)>;

class TOvcController : public TOvcComponent {
public:
  static constexpr int MinEpoch = 1600;
  static constexpr int MaxEpoch = 3999;

  explicit TOvcController(TComponent *AOwner);
  ~TOvcController() override;
  QString ClassName() const override { return QStringLiteral("TOvcController"); }

  TOvcCommandProcessor *EntryCommands() const { return entryCommands_.get(); }
  TOvcBaseEFOptions EntryOptions() const { return entryOptions_; }
  void SetEntryOptions(TOvcBaseEFOptions Value) { entryOptions_ = Value; }
  // The stored epoch as OnGetEpoch leaves it (the stored value itself is not changed by the event).
  int Epoch() const;
  // Stored only when it differs and lies in 1600..3999; anything else is ignored.
  void SetEpoch(int Value);
  bool ErrorPending() const { return errorPending_; }
  void SetErrorPending(bool Value) { errorPending_ = Value; }
  // The text of the last entry-field error reported.
  QString ErrorText() const { return errorText_; }
  void SetErrorText(const QString &Value) { errorText_ = Value; }
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool Value) { insertMode_ = Value; }
  TOvcTimerPool *TimerPool() const { return timerPool_; }

  // The hidden window, made on first use.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }

  // OnError when assigned, else an error message box with the text and one OK button.
  void DoOnError(TObject *Sender, WORD ErrorCode, const QString &ErrorMsg);
  // Post ovm_PreEdit / ovm_PostEdit to the hidden window: the events fire once the focus change is over.
  void DoOnPreEdit(TObject *Sender, TWinControl *LosingControl);
  void DoOnPostEdit(TObject *Sender, TWinControl *GainingControl);
  void DoOnTimerTrigger(TObject *Sender, int Handle, quint32 Interval, int ElapsedTime);
  // OnIsSpecialControl's answer for the control owning the window (False when not assigned).
  bool IsSpecialControl(HWND Handle);

  TDelayNotifyEvent OnDelayNotify;
  TDataErrorEvent OnError;
  TGetEpochEvent OnGetEpoch;
  TIsSpecialControlEvent OnIsSpecialControl;
  TPostEditEvent OnPostEdit;
  TPreEditEvent OnPreEdit;
  TTriggerEvent OnTimerTrigger;

protected:
  // The hidden window's procedure; exceptions of the event handlers go to the application's handler.
  void ControllerWndProc(TMessage &Msg);

private:
  void DispatchControllerMessage(TMessage &Msg);
  void TimerPoolTriggered(TObject *Sender, int Handle, quint32 Interval, int ElapsedTime);

  std::unique_ptr<TOvcCommandProcessor> entryCommands_;
  TOvcBaseEFOptions entryOptions_{efoAutoSelect, efoBeepOnError, efoInsertPushes};
  int epoch_;
  bool errorPending_ = false;
  HWND handle_ = 0;
  bool insertMode_ = true;
  QString errorText_;
  TOvcTimerPool *timerPool_ = nullptr;
};

// The shared default controller, made on first call.
TOvcController *GetDefaultController();
// Frees the shared default controller (the application's finalizer calls it); the next request makes a new
// one.
void FreeDefaultController();
// The first controller among the form's components, or nullptr.
TOvcController *FindControllerOnForm(const TComponent *Form);
