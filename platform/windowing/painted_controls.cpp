// The painted controls: TCustomControl (windowed) and TGraphicControl (not), each drawing on its canvas.
#include "platform/windowing/control_widget.h"
#include "platform/windowing/controls.h"
#include <QPainter>

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent *AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
  controlState_.Include(csCustomPaint);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (Widget()) canvas_->SetMeasureDevice(Widget());
}

void TCustomControl::DestroyWnd() {
  canvas_->SetPainter(nullptr);
  canvas_->SetMeasureDevice(nullptr);
  TWinControl::DestroyWnd();
}

void TCustomControl::PaintHandler(TMessage &Message) {
  QWidget *w = Widget();
  if (!w || !CurrentPaintEvent()) {
    DefaultHandler(Message);
    return;
  }
  QPainter painter(w);
  PaintNonClient(painter);
  painter.translate(ClientOffset());
  painter.setClipRect(ClientRect().ToQRect(), Qt::IntersectClip);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&painter));
  struct Detach {
    TCanvas *canvas;
    ~Detach() { canvas->SetPainter(nullptr); }
  } detach{canvas_.get()};
  canvas_->SetPainter(&painter);
  Paint();
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent *AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::CreateWidget() {
  if (Widget() || !parent_ || !parent_->Widget()) return;
  auto *widget = new TControlWidget<QWidget>(this);
  widget->setFocusPolicy(Qt::NoFocus);
  if (controlStyle_.Contains(csOpaque)) widget->setAttribute(Qt::WA_OpaquePaintEvent);
  AttachWidget(widget, widget);
  // A graphic control is drawn on its parent, beneath the parent's windowed children.
  for (int i = 0; i < parent_->ControlCount(); ++i)
    if (auto *sibling = dynamic_cast<TWinControl *>(parent_->Controls(i)); sibling && sibling->Widget()) {
      widget->stackUnder(sibling->Widget());
      break;
    }
  canvas_->SetMeasureDevice(widget);
}

void TGraphicControl::PaintHandler(TMessage &Message) {
  QWidget *w = Widget();
  if (!w || !CurrentPaintEvent()) {
    DefaultHandler(Message);
    return;
  }
  QPainter painter(w);
  struct Detach {
    TCanvas *canvas;
    ~Detach() { canvas->SetPainter(nullptr); }
  } detach{canvas_.get()};
  canvas_->SetPainter(&painter);
  Paint();
}
