// The Qt widget that plays the part of a control's window. It hands every Qt event to its control, which
// turns it into window messages and runs them through its message procedure; what the procedure leaves to the
// default handling goes back to the widget class's own event handling. A control can be a plain painted
// widget (TControlWidget<QWidget>) or wrap any Qt widget class (TControlWidget<QLineEdit>, ...).
#pragma once
#include <QKeyEvent>
#include <QWidget>
#include <utility>

class TControl;

class TWidgetBridge {
public:
  explicit TWidgetBridge(TControl *control) : control_(control) {}
  virtual ~TWidgetBridge() = default;
  TWidgetBridge(const TWidgetBridge &) = delete;
  TWidgetBridge &operator=(const TWidgetBridge &) = delete;

  // The control, nullptr once the control has let go of the widget.
  TControl *Control() const { return control_; }
  void Detach() { control_ = nullptr; }
  virtual QWidget *Widget() = 0;
  // The widget class's own handling of Event.
  virtual bool NativeEvent(QEvent *event) = 0;
  // The widget class's own handling of a key, without Qt's focus chain (Tab) and shortcut handling, which the
  // platform does itself.
  virtual void NativeKeyEvent(QKeyEvent *event) = 0;

protected:
  // Gives Event to the control (or to the native handling when the widget has no control any more).
  bool Forward(QEvent *event);

private:
  TControl *control_;
};

template <class Base>
class TControlWidget : public Base, public TWidgetBridge {
public:
  template <class... Args>
  explicit TControlWidget(TControl *control, Args &&...args)
      : Base(std::forward<Args>(args)...), TWidgetBridge(control) {}
  QWidget *Widget() override { return this; }
  bool NativeEvent(QEvent *event) override { return Base::event(event); }
  void NativeKeyEvent(QKeyEvent *event) override {
    if (event->type() == QEvent::KeyPress)
      Base::keyPressEvent(event);
    else
      Base::keyReleaseEvent(event);
  }

protected:
  bool event(QEvent *event) override { return Forward(event); }
};

// The control whose window Widget is, or the nearest control among Widget's parents; nullptr when none.
TControl *FindControlOfWidget(const QWidget *widget);
