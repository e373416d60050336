#include "platform/windowing/messages.h"
#include "platform/windowing/application.h"
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QObject>

namespace {

struct WindowRegistry {
  QHash<HWND, TMessageTarget *> targets;
  HWND next = 1;
};

WindowRegistry &Registry() {
  static WindowRegistry registry;
  return registry;
}

// A posted message travelling through Qt's queue.
class PostedMessageEvent : public QEvent {
public:
  static QEvent::Type TypeId() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  PostedMessageEvent(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam)
      : QEvent(TypeId()), handle(handle), message{msg, wParam, lParam, 0} {}
  HWND handle;
  TMessage message;
};

// Receives posted messages from Qt's queue and delivers those whose window still exists.
class PostedMessageDispatcher : public QObject {
public:
  bool event(QEvent *e) override {
    if (e->type() != PostedMessageEvent::TypeId()) return QObject::event(e);
    auto *posted = static_cast<PostedMessageEvent *>(e);
    if (TMessageTarget *target = FindWindowTarget(posted->handle)) target->MainWndProc(posted->message);
    return true;
  }
};

PostedMessageDispatcher *Dispatcher() {
  static PostedMessageDispatcher *dispatcher = nullptr;
  if (!dispatcher) dispatcher = new PostedMessageDispatcher; // lives as long as the process
  return dispatcher;
}

// A hidden window: a handle and a procedure.
class HiddenWindow : public TMessageTarget {
public:
  explicit HiddenWindow(TWndMethod proc) : proc_(std::move(proc)) {}
  void MainWndProc(TMessage &message) override {
    ++depth_;
    try {
      proc_(message);
    } catch (...) {
      message.Result = 0;
      HandleCurrentException(nullptr);
    }
    if (--depth_ == 0 && doomed_) delete this;
  }
  // Deletes the window now, or when its procedure returns if it is running.
  void Release() {
    if (depth_ > 0)
      doomed_ = true;
    else
      delete this;
  }

private:
  TWndMethod proc_;
  int depth_ = 0;
  bool doomed_ = false;
};

QHash<HWND, HiddenWindow *> &HiddenWindows() {
  static QHash<HWND, HiddenWindow *> windows;
  return windows;
}

} // namespace

HWND RegisterWindow(TMessageTarget *Target) {
  WindowRegistry &r = Registry();
  const HWND handle = r.next++;
  r.targets.insert(handle, Target);
  return handle;
}

void UnregisterWindow(HWND Handle) { Registry().targets.remove(Handle); }

TMessageTarget *FindWindowTarget(HWND Handle) {
  if (Handle == 0) return nullptr;
  return Registry().targets.value(Handle, nullptr);
}

bool IsWindow(HWND Handle) { return FindWindowTarget(Handle) != nullptr; }

LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessageTarget *target = FindWindowTarget(Handle);
  if (!target) return 0;
  TMessage message{Msg, WParam, LParam, 0};
  target->MainWndProc(message);
  return message.Result;
}

bool PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!FindWindowTarget(Handle)) return false;
  QCoreApplication::postEvent(Dispatcher(), new PostedMessageEvent(Handle, Msg, WParam, LParam));
  return true;
}

HWND AllocateHWnd(TWndMethod Proc) {
  auto *window = new HiddenWindow(std::move(Proc));
  const HWND handle = RegisterWindow(window);
  HiddenWindows().insert(handle, window);
  return handle;
}

void DeallocateHWnd(HWND Handle) {
  HiddenWindow *window = HiddenWindows().take(Handle);
  if (!window) return;
  UnregisterWindow(Handle);
  window->Release();
}

void HandleCurrentException(TObject *Sender) {
  try {
    Application()->HandleException(Sender);
  } catch (...) {
    // The handler itself failed (its message box, an OnException handler); nothing may leave here.
    qWarning("An exception was raised while an exception was being handled");
  }
}
