#include "report/report_hooks.h"

TModalResult TfrDirectProgress::Execute(const std::function<void()> &Step,
                                        const std::function<void()> &Cancel) {
  cancel_ = Cancel;
  result_ = mrNone;
  running_ = true;
  try {
    if (Step) Step();
  } catch (...) {
    running_ = false;
    cancel_ = nullptr;
    throw;
  }
  running_ = false;
  cancel_ = nullptr;
  return result_ == mrNone ? mrOk : result_;
}

void TfrDirectProgress::Close(TModalResult Result) {
  if (running_ && result_ == mrNone) result_ = Result;
}

void TfrDirectProgress::PressCancel() {
  if (!running_) return;
  if (cancel_) cancel_();
  Close(mrCancel);
}

namespace {
TfrProgressWindowFactory &progressFactory() {
  static TfrProgressWindowFactory factory;
  return factory;
}
TfrPreviewWindowOpener &previewOpener() {
  static TfrPreviewWindowOpener opener;
  return opener;
}
} // namespace

void frSetProgressWindowFactory(TfrProgressWindowFactory Factory) { progressFactory() = std::move(Factory); }

std::unique_ptr<TfrProgressWindow> frCreateProgressWindow() {
  if (progressFactory()) {
    if (auto window = progressFactory()()) return window;
  }
  return std::make_unique<TfrDirectProgress>();
}

void frSetPreviewWindowOpener(TfrPreviewWindowOpener Opener) { previewOpener() = std::move(Opener); }

void frOpenPreviewWindow(TfrReport *Report, const QString &Caption) {
  if (previewOpener()) previewOpener()(Report, Caption);
}
