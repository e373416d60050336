#include "platform/windowing/screen.h"
#include "platform/windowing/forms.h"
#include <QGuiApplication>
#include <QScreen>

namespace {

Qt::CursorShape StandardShape(TCursor cursor) {
  switch (cursor) {
  case crNone: return Qt::BlankCursor;
  case crCross: return Qt::CrossCursor;
  case crIBeam: return Qt::IBeamCursor;
  case crSizeNESW: return Qt::SizeBDiagCursor;
  case crSizeNS: return Qt::SizeVerCursor;
  case crSizeNWSE: return Qt::SizeFDiagCursor;
  case crSizeWE: return Qt::SizeHorCursor;
  case crUpArrow: return Qt::UpArrowCursor;
  case crHourGlass:
  case crSQLWait: return Qt::WaitCursor;
  case crDrag:
  case crMultiDrag: return Qt::DragCopyCursor;
  case crNoDrop:
  case crNo: return Qt::ForbiddenCursor;
  case crHSplit: return Qt::SplitHCursor;
  case crVSplit: return Qt::SplitVCursor;
  case crAppStart: return Qt::BusyCursor;
  case crHelp: return Qt::WhatsThisCursor;
  case crHandPoint: return Qt::PointingHandCursor;
  case crSizeAll: return Qt::SizeAllCursor;
  default: return Qt::ArrowCursor;
  }
}

} // namespace

TScreen *Screen() {
  static TScreen *screen = new TScreen; // lives as long as the process, like the class library's
  return screen;
}

TScreen::TScreen() = default;
TScreen::~TScreen() = default;

int TScreen::Width() const {
  const QScreen *s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
  const QScreen *s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 0;
}

TRect TScreen::WorkAreaRect() const {
  const QScreen *s = QGuiApplication::primaryScreen();
  return s ? TRect::FromQRect(s->availableGeometry()) : TRect{};
}

QCursor TScreen::Cursors(TCursor Index) const {
  if (auto it = cursors_.find(Index); it != cursors_.end()) return it.value();
  return QCursor(StandardShape(Index));
}

void TScreen::SetCursors(TCursor Index, const QCursor &Cursor) { cursors_.insert(Index, Cursor); }

void TScreen::AddForm(TCustomForm *Form) {
  if (!forms_.contains(Form)) forms_.append(Form);
}

void TScreen::RemoveForm(TCustomForm *Form) {
  forms_.removeAll(Form);
  if (activeForm_ == Form) {
    activeForm_ = nullptr;
    activeControl_ = nullptr;
  }
  if (focusedForm_ == Form) focusedForm_ = nullptr;
}

void TScreen::SetActive(TCustomForm *Form, TWinControl *Control) {
  activeForm_ = Form;
  activeControl_ = Control;
}
