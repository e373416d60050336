// Forms: top-level windows built in code. A form is created with its owner (usually the application), builds
// its controls in its constructor and is then finished with AfterConstruction, which fires OnCreate (Create
// and the application's CreateForm do both). It is shown with Show or ShowModal and closed with Close, which
// asks OnCloseQuery and OnClose what to do (hide, free, nothing).
//
// The form keeps track of the control that has the focus inside it (ActiveControl) and fires the controls'
// OnExit and OnEnter when the focus moves between them. Tab and Shift+Tab move the focus in tab order, the
// arrow keys among siblings, when the focused control does not claim those keys; Return and Escape go to the
// default and cancel buttons. With KeyPreview the form sees every key before the focused control.
//
// The data module (TDataModule) is the non-visual container of the same life cycle.
#pragma once
#include "platform/core/small_set.h"
#include "platform/windowing/controls.h"

class QEventLoop;

// Answers of modal forms and message dialogs.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSmallSet<TBorderIcon>;

using TCloseEvent = TEvent<void(TObject *Sender, TCloseAction &Action)>;
using TCloseQueryEvent = TEvent<void(TObject *Sender, bool &CanClose)>;

class TCustomForm : public TCustomControl {
public:
  explicit TCustomForm(TComponent *AOwner);
  ~TCustomForm() override;
  QString ClassName() const override { return QStringLiteral("TCustomForm"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // Creates a form of class T and finishes it (OnCreate).
  template <class T, class... Args>
  static T *Create(Args &&...args) {
    T *form = new T(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
  }
  // Runs once the descendant's constructor has built the form: fires OnCreate.
  virtual void AfterConstruction();

  void WndProc(TMessage &Message) override;

  // -- window --
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition Value) { position_ = Value; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState Value);
  bool Active() const { return active_; }
  // The menu bar widget of the form's main menu (placed above the client area); nullptr removes it.
  void SetMenuBarWidget(QWidget *Bar);
  QWidget *MenuBarWidget() const { return menuBar_; }

  // -- showing and closing --
  // Makes the form visible and brings it to the front.
  void Show();
  void Hide() { SetVisible(false); }
  void SetVisible(bool Value) override;
  bool Showing() const override;
  // Shows the form modally and runs a message loop until ModalResult is set (or the application ends:
  // mrCancel); returns ModalResult. EInvalidOperation "Cannot make a visible window modal" when it shows.
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  // Closes the form: a modal form answers mrCancel; otherwise OnCloseQuery may refuse and OnClose decides
  // (hide by default; closing the main form ends the application).
  void Close();
  // OnCloseQuery's answer (true when not assigned).
  virtual bool CloseQuery();
  // Frees the form once the messages queued now have been handled.
  void Release();
  void BringToFront();

  // -- focus --
  TWinControl *ActiveControl() const { return activeControl_; }
  // EInvalidOperation "Cannot focus a disabled or invisible window" when Control cannot take the focus.
  void SetActiveControl(TWinControl *Control);
  // Makes Control the active control and gives the form the focus when it has not.
  void FocusControl(TWinControl *Control);
  // The control the form has given the focus (kept while another window is active).
  TWinControl *FocusedControl() const { return focusedControl_; }
  // Called when a control of this form receives the focus: fires OnExit and OnEnter along the way and
  // activates the form; false when a handler moved the focus elsewhere meanwhile.
  bool SetFocusedControl(TWinControl *Control);
  // Forgets Control as the focused and active control (it is being hidden, disabled or freed).
  void DefocusControl(TWinControl *Control, bool Removing);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }

  // -- events --
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  // A form keeps its place and scales its client area.
  void ChangeScale(int M, int D) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction &Action);
  virtual void Activate();
  virtual void Deactivate();
  void Paint() override;
  void CreateParams(TCreateParams &Params) override;
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void ApplyToWidget() override;
  QRect WidgetGeometry() const override;
  int TopReservedHeight() const override;
  bool HandleOtherEvent(QEvent *Event) override;
  void Resize() override;

private:
  void CloseModal();
  void ApplyWindowFlags();
  void PlaceOnShow();
  void FocusFirstControl();
  void CMDialogKey(TMessage &Message);
  void LayoutMenuBar();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TWinControl *activeControl_ = nullptr;
  TWinControl *focusedControl_ = nullptr;
  bool keyPreview_ = false;
  bool modal_ = false;
  TModalResult modalResult_ = mrNone;
  bool active_ = false;
  bool created_ = false;
  int focusCount_ = 0;
  QPointer<QWidget> menuBar_;
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  QString ClassName() const override { return QStringLiteral("TForm"); }
};

// A non-visual container of components (tables, queries, the single-instance guard) with a form's life cycle.
class TDataModule : public TComponent {
public:
  explicit TDataModule(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TDataModule"); }
  void BeforeDestruction() override;
  // Fires OnCreate; the application's CreateForm calls it once the constructor has finished.
  virtual void AfterConstruction();
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

private:
  bool created_ = false;
};
