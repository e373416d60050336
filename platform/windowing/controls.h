// The class library's control hierarchy over Qt widgets:
//   TControl         anything visible on a form: bounds, parent, visibility, font, colour, mouse events;
//   TWinControl      a control with a window: keyboard focus, child controls, tab order, scroll bars;
//   TCustomControl   a windowed control painted by its own code on its Canvas;
//   TGraphicControl  a control without focus, painted by its own code (a label, a flat button).
//
// Each control owns one QWidget playing the part of its window, created when first needed (the parent is
// showing, or someone asks for the Handle) through CreateWnd / CreateParams, and destroyed with the control
// or when the window is re-created (RecreateWnd). Qt events reach the control as window messages: its message
// procedure WndProc dispatches them and DefaultHandler gives what is left to Qt. Descendants extend a
// message's handling by overriding WndProc and calling the inherited WndProc where the class library calls
// "inherited".
//
// Owner (who frees) and Parent (where it shows) are separate; a windowed control also frees the child
// controls still inside it when it is freed.
//
// Coordinates are the class library's: a control's Left/Top are relative to its parent's client area; mouse
// messages and painting use client coordinates. A painted window's border (WS_BORDER, WS_EX_CLIENTEDGE) and
// scroll bars (WS_HSCROLL, WS_VSCROLL) lie outside its client area, as in Win32.
#pragma once
#include "platform/core/component.h"
#include "platform/core/events.h"
#include "platform/core/small_set.h"
#include "platform/core/types.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include "platform/windowing/drag_drop.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/shift_state.h"
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QEvent;
class QKeyEvent;
class QMouseEvent;
class QRegion;
class QScrollBar;
class QWidget;
class TWidgetBridge;
class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---- Cursors ----
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

// ---- Control styles and states ----
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TControlStyleFlag {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents
};
using TControlStyle = TSmallSet<TControlStyleFlag>;

enum TControlStateFlag {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking
};
using TControlState = TSmallSet<TControlStateFlag>;

// Window borders. Controls use bsNone and bsSingle; forms all of them.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// ---- Events ----
using TMouseEvent = TEvent<void(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject *Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject *Sender, WORD &Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject *Sender, QChar &Key)>;
using TContextPopupEvent = TEvent<void(TObject *Sender, TPoint MousePos, bool &Handled)>;

// The parameters a windowed control's window is created with (CreateParams).
struct TCreateParams {
  QString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = 0;
};
constexpr DWORD WS_POPUP = 0x80000000;

// ---- TControl ----
class TControl : public TComponent, public TMessageTarget {
public:
  explicit TControl(TComponent *AOwner);
  ~TControl() override;
  QString ClassName() const override { return QStringLiteral("TControl"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // -- messages --
  // Runs the message procedure directly (exceptions reach the caller) and returns the result.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // The message procedure. Overrides handle their messages and call the inherited WndProc for the rest.
  virtual void WndProc(TMessage &Message);
  // What the system does with a message nobody handled: Qt's own handling of the event it came from.
  virtual void DefaultHandler(TMessage &Message);
  // The procedure the system calls (Qt events, SendMessage, posted messages): WndProc, with any exception
  // handed to the application's handler.
  void MainWndProc(TMessage &Message) override;

  // -- placement --
  TWinControl *Parent() const { return parent_; }
  virtual void SetParent(TWinControl *AParent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
  void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
  void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
  void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect &R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // The client area in client coordinates: (0, 0, ClientWidth, ClientHeight).
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  void SetClientSize(int AWidth, int AHeight);
  // Screen position of the client area's origin.
  TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint &Point) const;
  TPoint ScreenToClient(const TPoint &Point) const;
  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  // Scales the control by M/D: its bounds, its own font (not one it takes from its parent) and, for a
  // windowed control, its children. A form scales its client area and everything on it.
  void ScaleBy(int M, int D) { ChangeScale(M, D); }

  // -- appearance and state --
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a shown window visible too.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool Value);
  // Caption and Text are the same window text.
  QString Caption() const { return GetText(); }
  void SetCaption(const QString &Value) { SetText(Value); }
  QString Text() const { return GetText(); }
  void SetText(const QString &Value);
  TFont *Font() { return &font_; }
  const TFont *Font() const { return &font_; }
  void SetFont(const TFont *Value) { font_.Assign(Value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  QString Hint() const { return hint_; }
  void SetHint(const QString &Value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value);
  TPopupMenu *PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu *Value);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState Value) { controlState_ = Value; }
  // Whether this control holds the mouse capture (it gets every mouse message until released).
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // -- painting --
  // Marks the whole control for repainting; the paint happens when Qt's loop next runs.
  virtual void Invalidate();
  // Paints what is marked, now.
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  // -- the window --
  // The widget playing the part of the window; nullptr while it has not been created.
  QWidget *Widget() const { return widget_; }
  // The widget, creating it (and its parents' widgets) when needed.
  QWidget *WidgetNeeded();

  // -- dragging (drag_drop.h) --
  // Starts dragging this control: at once, or once the mouse has moved Threshold pixels (-1: the default)
  // with the left button held (released before, it was a click).
  void BeginDrag(bool Immediate, int Threshold = -1);
  bool Dragging() const;
  virtual void DragDrop(TObject *Source, int X, int Y);

  // -- events --
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

  // Called by the widget for every Qt event (see control_widget.h).
  bool HandleQtEvent(QEvent *Event);
  // Called for the input events of a widget inside the window (see ForwardEventsOf); true: handled.
  bool HandleInnerEvent(QWidget *Inner, QEvent *Event);

protected:
  // -- overridable behaviour (the class library's dynamic methods) --
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  // The step of ScaleBy; overrides scale what they keep in pixels and call the inherited one.
  virtual void ChangeScale(int M, int D);
  virtual void DoContextPopup(const TPoint &MousePos, bool &Handled);
  // Whether this control accepts the drag of Source at a client point (no OnDragOver handler: it does not).
  virtual void DragOver(TObject *Source, int X, int Y, TDragState State, bool &Accept);
  // The drag this control began is over: Target took the drop at its client point, or none did.
  virtual void DoEndDrag(TObject *Target, int X, int Y);
  virtual QString GetText() const { return text_; }
  // Stores a new window text (the default handling of WM_SETTEXT); descendants that keep the text in their
  // widget override it.
  virtual void SetTextBuf(const QString &Value);
  // Creates, shows or hides the widget as Visible and the parent's showing say (CM_VISIBLECHANGED).
  void UpdateShowing();

  // -- the widget (for descendants) --
  // Creates the widget for a control that is not windowed; TWinControl replaces this with CreateWnd.
  virtual void CreateWidget();
  // Lets go of the widget: detaches it from this control and deletes it once Qt's loop allows.
  void ReleaseWidget();
  void AttachWidget(QWidget *widget, TWidgetBridge *bridge);
  // Geometry of the widget in its parent widget's coordinates.
  virtual QRect WidgetGeometry() const;
  // Applies bounds, font, colour, cursor, hint, enabled and visibility to the widget.
  virtual void ApplyToWidget();
  // Where the client area starts inside the widget (a painted window's border and menu bar lie before it).
  virtual QPoint ClientOffset() const { return QPoint(0, 0); }
  // The handle identifying this control as a window (given to every control, kept for its whole life).
  HWND WindowHandle() const { return handle_; }
  // Sends the message to this control's main procedure (exceptions go to the application's handler).
  LRESULT SendToSelf(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // The parent's font and colour reached this control (CM_PARENTFONTCHANGED, CM_PARENTCOLORCHANGED).
  void FontChanged(TObject *Sender);

  // Makes the keyboard, mouse and focus events of Inner, a widget inside this control's window that Qt gives
  // them to directly (a combo box's edit field, a memo's viewport), reach this control's message procedure
  // as the window's own; the default handling gives them back to Inner.
  void ForwardEventsOf(QWidget *Inner);
  // Qt's own handling of the event being translated (by the window's widget or the inner widget).
  bool CallNative(QEvent *Event);
  void CallNativeKey(QKeyEvent *Event);
  // A point of the event's widget in the window widget's coordinates.
  QPoint WidgetPoint(const QPoint &Point) const;

  // The Qt event whose messages are being dispatched, so that DefaultHandler can give it to Qt.
  struct NativeEvent {
    QEvent *event = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    bool consumed = false;
    bool result = false;
  };
  // Dispatches Msg as the translation of Event: WndProc (guarded), then, if nothing called DefaultHandler,
  // Qt never sees the event. Returns false when this control was freed meanwhile.
  bool DispatchTranslated(TMessage &Message, QEvent *Event, NativeEvent *native = nullptr);
  // The mouse message for a Qt mouse event; false when the event is none of ours.
  virtual bool MouseMessage(QMouseEvent *Event, TMessage &Message);
  virtual bool HandleMouseEvent(QMouseEvent *Event);
  virtual bool HandleOtherEvent(QEvent *Event);
  // WM_PAINT: the default gives the paint event to Qt (a wrapped widget paints itself); painted controls
  // paint on their canvas. PaintRegion is the part to repaint, in client coordinates, during WM_PAINT.
  virtual void PaintHandler(TMessage &Message);
  QRegion PaintRegion() const;
  // The paint event being handled, nullptr outside WM_PAINT.
  QEvent *CurrentPaintEvent() const { return paintEvent_; }

  bool IsAlive(const std::weak_ptr<bool> &token) const { return !token.expired(); }
  std::weak_ptr<bool> AliveToken() const { return alive_; }

  TWinControl *parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TFont font_;
  TColor color_ = clWindow;
  TControlStyle controlStyle_;
  TControlState controlState_;

private:
  friend class TWinControl;
  void WMMouseButton(TMessage &Message, TMouseButton Button, bool Down, bool Double);
  void WMMouseMove(TMessage &Message);
  // Dragging (drag_drop.cpp): the drag events of Qt's drag loop, CM_DRAG, and the mouse while a drag waits
  // to start (true: the message started it).
  bool HandleDragEvent(QEvent *Event);
  void DragMessage(TMessage &Message);
  bool PendingDragMouse(const TMessage &Message);
  void RunDrag();
  void UpdateWidgetPalette();
  void UpdateWidgetCursor();

  bool visible_ = true;
  bool enabled_ = true;
  QString text_;
  bool parentFont_ = true;
  bool parentColor_ = true;
  TCursor cursor_ = crDefault;
  QString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TAlign align_ = alNone;
  TPopupMenu *popupMenu_ = nullptr;
  QPointer<QWidget> widget_;
  TWidgetBridge *bridge_ = nullptr;
  HWND handle_ = 0;
  NativeEvent *native_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool applyingBounds_ = false;
  QEvent *paintEvent_ = nullptr;
  QWidget *innerTarget_ = nullptr;
};

// ---- TWinControl ----

// One of a window's two scroll bars, as Win32 keeps it.
struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  int Page = 0;
  int Pos = 0;
  bool Visible = false;
  bool Enabled = true;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent *AOwner);
  ~TWinControl() override;
  QString ClassName() const override { return QStringLiteral("TWinControl"); }
  void BeforeDestruction() override;

  void WndProc(TMessage &Message) override;
  void DefaultHandler(TMessage &Message) override;

  // -- the window --
  // The window handle, creating the window when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return Widget() != nullptr; }
  void HandleNeeded();
  // Destroys the window and creates it again with the present properties (when it exists).
  void RecreateWnd();
  bool Showing() const override;

  // -- child controls --
  int ControlCount() const { return int(controls_.size()); }
  TControl *Controls(int Index) const { return controls_.value(Index); }
  // Windowed children in tab order.
  QList<TWinControl *> TabList() const { return tabList_; }
  bool ContainsControl(const TControl *Control) const;
  // Sends Message to each child control until one answers with a result other than 0.
  void Broadcast(TMessage &Message);
  // Lays out the children that have an Align.
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  // -- focus --
  virtual bool CanFocus() const;
  bool Focused() const;
  // Gives this control the keyboard focus; EInvalidOperation "Cannot focus a disabled or invisible window"
  // when it cannot take it.
  virtual void SetFocus();
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value);
  int TabOrder() const;
  void SetTabOrder(int Value);
  // The next (or previous) control after CurControl in the tab order of this control's descendants that can
  // take the focus (and is a tab stop when CheckTabStop); nullptr when none.
  TWinControl *FindNextControl(TWinControl *CurControl, bool GoForward, bool CheckTabStop,
                               bool CheckParent) const;
  // Moves the focus to the next control after CurControl.
  void SelectNext(TWinControl *CurControl, bool GoForward, bool CheckTabStop);
  // The descendants in tab order (depth first).
  void GetTabOrderList(QList<TWinControl *> &List) const;

  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool Value);

  // -- scroll bars (SB_HORZ, SB_VERT) --
  const TScrollBarState &ScrollBar(int Bar) const { return Bar == SB_HORZ ? hScroll_ : vScroll_; }
  void SetScrollBar(int Bar, const TScrollBarState &State);
  // Moves the pixels of the client area (or of ScrollRect, client coordinates) by Dx, Dy and marks the
  // uncovered part for repainting.
  void ScrollWindow(int Dx, int Dy, const TRect *ScrollRect = nullptr);
  // Marks part of the client area for repainting (nullptr: all of it).
  void InvalidateRect(const TRect *Rect);
  void Invalidate() override;
  void Update() override;

  TRect ClientRect() const override;

  // -- events --
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // -- called by the platform --
  void InsertControl(TControl *Control);
  void RemoveControl(TControl *Control);
  // Creates the windows of the visible children (recursively) once this window exists and is about to show.
  void CreateChildWidgets();

protected:
  // -- window creation --
  virtual void CreateParams(TCreateParams &Params);
  // Creates the window: CreateParams, then CreateWindowHandle. Overrides call the inherited one.
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams &Params);
  // The widget for the window; the default is a painted widget (TControlWidget<QWidget>).
  virtual QWidget *CreateWindowWidget(const TCreateParams &Params);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  // The creation parameters the present window was made with.
  const TCreateParams &WindowParams() const { return params_; }
  void CreateWidget() override;
  QRect WidgetGeometry() const override;
  void ApplyToWidget() override;
  QPoint ClientOffset() const override;
  // Space the window keeps above its client area (a form's menu bar).
  virtual int TopReservedHeight() const { return 0; }
  // True for the platform's own painted widget: the border and scroll bars are drawn around the client area.
  bool PaintedWindow() const { return paintedWindow_; }

  // -- keyboard --
  virtual void KeyDown(WORD &Key, TShiftState Shift);
  virtual void KeyUp(WORD &Key, TShiftState Shift);
  virtual void KeyPress(QChar &Key);
  // The class library's key dispatch: the form's preview first, then KeyDown; true when the key was eaten.
  bool DoKeyDown(TMessage &Message);
  bool DoKeyUp(TMessage &Message);
  bool DoKeyPress(TMessage &Message);
  // Whether the parent form, previewing keys, took the key message with the same step.
  bool FormTakesKey(TMessage &Message, bool (TWinControl::*Step)(TMessage &));
  virtual void DoEnter();
  virtual void DoExit();
  // Lays out the children that have an Align inside Rect (the client area).
  virtual void AlignControls(TControl *AControl, TRect &Rect);
  // Scales the children, then the control itself.
  void ChangeScale(int M, int D) override;
  void ScaleChildren(int M, int D);
  // Paints the window's border (WS_BORDER, WS_EX_CLIENTEDGE) around the client area.
  virtual void PaintNonClient(QPainter &Painter);
  bool HandleOtherEvent(QEvent *Event) override;
  // Dialog-key handling of a key press (Tab, arrows, Return, Escape): false when the control keeps the key.
  bool HandleDialogKey(UINT KeyMsg, WORD Key, LPARAM KeyData);
  virtual bool HandleKeyEvent(QKeyEvent *Event);
  // Whether the control claims Key from Qt's shortcuts and focus chain (answering WM_GETDLGCODE).
  bool ClaimsKey(const QKeyEvent *Event);
  void LayoutScrollBars();

private:
  friend class TControl;
  friend class TCustomForm;
  void UpdateScrollBarWidget(int Bar);
  void ScrollBarAction(int Bar, int Action);
  void ScrollBarReleased(int Bar);
  int BorderWidth() const;
  void NotifyChildren(UINT Msg);

  QList<TControl *> controls_;
  QList<TWinControl *> tabList_;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  TCreateParams params_;
  bool paintedWindow_ = false;
  TScrollBarState hScroll_;
  TScrollBarState vScroll_;
  QPointer<QScrollBar> hScrollWidget_;
  QPointer<QScrollBar> vScrollWidget_;
  int alignDisabled_ = 0;
  bool realigning_ = false;
};

// ---- TCustomControl: painted by its own code ----
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent *AOwner);
  ~TCustomControl() override;
  QString ClassName() const override { return QStringLiteral("TCustomControl"); }
  // The canvas the control paints on. During a paint it draws on the window; otherwise it can measure text
  // but draws nowhere. Its font and brush are its own: Paint takes the control's Font and Color when it wants
  // them, as in the class library.
  TCanvas *Canvas() { return canvas_.get(); }

protected:
  virtual void Paint() {}
  // Erases the background (WM_ERASEBKGND) and calls Paint with the canvas on the window.
  void PaintHandler(TMessage &Message) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  std::unique_ptr<TCanvas> canvas_;
};

// ---- TGraphicControl: painted, never focused ----
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent *AOwner);
  ~TGraphicControl() override;
  QString ClassName() const override { return QStringLiteral("TGraphicControl"); }
  TCanvas *Canvas() { return canvas_.get(); }

protected:
  virtual void Paint() {}
  void PaintHandler(TMessage &Message) override;
  void CreateWidget() override;

private:
  std::unique_ptr<TCanvas> canvas_;
};

// The form a control is on (walking up the parents), nullptr when none.
TCustomForm *GetParentForm(const TControl *Control);
// The control whose window is Handle, nullptr when none.
TWinControl *FindControl(HWND Handle);
// The control under a screen point, nullptr when none.
TControl *FindDragTarget(const TPoint &Pos, bool AllowDisabled);

// The menus install this to show a control's popup menu at a screen point; true when it showed one.
using TPopupMenuHook = bool (*)(TPopupMenu *Menu, TControl *Control, const TPoint &ScreenPos);
void SetPopupMenuHook(TPopupMenuHook Hook);
// The menus install this to take a key press for a menu item's shortcut (the popup menus of the control and
// its parents, the form's main menu) before the control sees it; true when a menu took the key.
using TMenuKeyHook = bool (*)(TWinControl *Control, WORD Key, TShiftState Shift);
void SetMenuKeyHook(TMenuKeyHook Hook);
