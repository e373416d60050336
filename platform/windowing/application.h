// TApplication: the program's application object (Application()). It owns the forms and data modules made
// with CreateForm (the first form made becomes the main form), runs the message loop, and is the one place
// exceptions raised in event handlers end up: HandleException shows the message in an error message box
// (through the message-box service) unless OnException is assigned, and ignores the silent EAbort.
//
// Shut-down order: Shutdown frees the forms and data modules, then runs the finalizers registered with
// AddFinalizer (the control library's shared controller, the report engine's process-wide state, the
// printer), the last registered first. The QApplication is destroyed after that, by main.
#pragma once
#include "platform/core/component.h"
#include "platform/core/events.h"
#include "platform/windowing/messages.h"
#include <QString>
#include <exception>
#include <functional>

class TCustomForm;

using TExceptionEvent = TEvent<void(TObject *Sender, const std::exception &E)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent *AOwner = nullptr);
  ~TApplication() override;
  QString ClassName() const override { return QStringLiteral("TApplication"); }

  void Initialize() {}
  // Creates a form or data module of class T owned by the application, stores it in Reference before its
  // OnCreate fires, and makes the first form the main form.
  template <class T>
  void CreateForm(T *&Reference) {
    T *instance = new T(this);
    Reference = instance;
    instance->AfterConstruction();
    FormCreated(instance);
  }
  // Shows the main form and runs the message loop until Terminate (or the main form closes).
  void Run();
  // Handles every message waiting now.
  void ProcessMessages();
  // Waits for the next message and handles it.
  void HandleMessage();
  // Asks the message loop (and every modal loop) to end.
  void Terminate();
  bool Terminated() const { return terminated_; }

  QString Title() const { return title_; }
  void SetTitle(const QString &Value);
  QString HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString &Value) { helpFile_ = Value; }
  QString ExeName() const;
  TCustomForm *MainForm() const { return mainForm_; }
  // Whether a window of the application is the active window of the desktop.
  bool Active() const;
  // The application's hidden window (the owner of its message boxes).
  HWND Handle() const { return handle_; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value) { showHint_ = Value; }
  // Brings the main form forward, restoring it when minimised.
  void BringToFront();

  // The exception being handled (call inside a catch block) goes to OnException or ShowException; EAbort
  // is ignored.
  void HandleException(TObject *Sender);
  // Shows an exception's message in an error message box titled with the application's title.
  void ShowException(const std::exception &E);
  TExceptionEvent OnException;

  // Frees the forms and data modules, then runs the finalizers, the last registered first.
  void Shutdown();
  void AddFinalizer(std::function<void()> Finalizer);

  void Notification(TComponent *AComponent, TOperation Operation) override;

private:
  void FormCreated(TComponent *Instance);

  QString title_;
  QString helpFile_;
  TCustomForm *mainForm_ = nullptr;
  HWND handle_ = 0;
  bool terminated_ = false;
  bool showHint_ = true;
  bool running_ = false;
  QList<std::function<void()>> finalizers_;
};

// The application object, made at first use.
TApplication *Application();
// Shuts the application object down (Shutdown) and frees it; a later Application() makes a new one.
void FreeApplication();
