#include "report/ui/preview_panel.h"
#include "report/ui/preview_form.h"

TfrPreview::TfrPreview(TComponent *AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 300, 200);
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
  window_ = new TfrPreviewForm(nullptr);
  window_->AfterConstruction();
  window_->EmbedPageArea(this);
}

TfrPreview::~TfrPreview() = default;

void TfrPreview::BeforeDestruction() {
  // The page area goes back to its window, which is freed with everything in it.
  if (window_) {
    window_->EmbedPageArea(nullptr);
    window_->Free();
    window_ = nullptr;
  }
  TCustomControl::BeforeDestruction();
}

void TfrPreview::AttachReport(std::unique_ptr<TfrPreviewHost> Host) {
  window_->Connect(std::move(Host));
  window_->SetPage(1);
  window_->Relayout();
}

void TfrPreview::Clear() { window_->Connect(nullptr); }

void TfrPreview::SetPage(int n) { window_->SetPage(n); }

int TfrPreview::Page() const { return window_->CurrentPage(); }

int TfrPreview::PageCount() const { return window_->PageCount(); }

void TfrPreview::ZoomToPageWidth() { window_->SetZoomMode(zmPageWidth); }

void TfrPreview::SetScrollBars(TScrollStyle Value) {
  scrollBars_ = Value;
  window_->SetScrollBarsShown(Value == ssHorizontal || Value == ssBoth,
                              Value == ssVertical || Value == ssBoth);
}

void TfrPreview::AlignControls(TControl *AControl, TRect &Rect) {
  // The page area stands inside the lowered bevel.
  InflateRect(Rect, -1, -1);
  TCustomControl::AlignControls(AControl, Rect);
}

void TfrPreview::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(clBtnFace);
  Canvas()->FillRect(r);
  Frame3D(Canvas(), r, clBtnShadow, clBtnHighlight, 1);
}
