#include "platform/windowing/application.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

namespace {
TApplication *g_application = nullptr;
} // namespace

TApplication *Application() {
  if (!g_application) g_application = new TApplication(nullptr);
  return g_application;
}

void FreeApplication() {
  TApplication *app = g_application;
  if (!app) return;
  app->Shutdown();
  g_application = nullptr;
  app->Free();
}

TApplication::TApplication(TComponent *AOwner) : TComponent(AOwner) {
  handle_ = AllocateHWnd([](TMessage &) {});
  if (QCoreApplication::instance())
    title_ = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  // The program ends when its main form closes (or Terminate is called), not when Qt sees no window left:
  // a message box shown before the main form must not end it.
  if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() { DeallocateHWnd(handle_); }

// The title is not Qt's application display name, which Qt would append to every window's title.
void TApplication::SetTitle(const QString &Value) { title_ = Value; }

bool TApplication::Active() const { return QGuiApplication::applicationState() == Qt::ApplicationActive; }

QString TApplication::ExeName() const { return QCoreApplication::applicationFilePath(); }

void TApplication::FormCreated(TComponent *Instance) {
  if (mainForm_) return;
  if (auto *form = dynamic_cast<TCustomForm *>(Instance)) {
    form->HandleNeeded();
    mainForm_ = form;
    form->FreeNotification(this);
  }
}

void TApplication::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
  if (terminated_ || running_) return;
  running_ = true;
  try {
    if (mainForm_) mainForm_->Show();
  } catch (...) {
    HandleException(this);
  }
  if (!terminated_ && mainForm_) QCoreApplication::exec();
  running_ = false;
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::HandleMessage() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TApplication::Terminate() {
  terminated_ = true;
  if (running_) QCoreApplication::exit(0);
  // Wake a modal loop waiting for the next message so that it sees the request.
  PostMessage(handle_, WM_NULL);
}

void TApplication::BringToFront() {
  if (!mainForm_) return;
  if (mainForm_->WindowState() == wsMinimized) mainForm_->SetWindowState(wsNormal);
  mainForm_->BringToFront();
}

void TApplication::HandleException(TObject *Sender) {
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const EAbort &) {
    // The silent exception ends an operation without a word.
  } catch (const std::exception &e) {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (...) {
    const Exception unknown(QStringLiteral("An unknown error occurred"));
    if (OnException)
      OnException(Sender, unknown);
    else
      ShowException(unknown);
  }
}

void TApplication::ShowException(const std::exception &E) {
  QString message;
  if (auto *e = dynamic_cast<const Exception *>(&E))
    message = e->Message();
  else
    message = QString::fromUtf8(E.what());
  if (!message.isEmpty() && !message.endsWith(QLatin1Char('.'))) message += QLatin1Char('.');
  ::MessageBox(0, message, title_, MB_OK | MB_ICONSTOP);
}

void TApplication::AddFinalizer(std::function<void()> Finalizer) { finalizers_.append(std::move(Finalizer)); }

void TApplication::Shutdown() {
  terminated_ = true;
  DestroyComponents();
  mainForm_ = nullptr;
  while (!finalizers_.isEmpty()) {
    std::function<void()> finalizer = finalizers_.takeLast();
    try {
      finalizer();
    } catch (...) {
      qWarning("An exception was raised while the application was shutting down");
    }
  }
}
