// TfrPreview: a panel an application places on its own form to show a report's prepared pages. It owns a
// preview window (never shown itself) whose page area it takes in: the pages, their scroll bars, the page
// label and the page buttons. Keys reach the preview while its page box has the focus and work as in the
// window for the buttons the report shows (Space opens the zoom menu at the top left of the pages); Escape
// is left to the form the panel stands on. The right mouse button opens the panel's own popup menu when it
// has one, else the zoom menu.
#pragma once
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include "report/report_hooks.h"
#include "report/ui/preview_host.h"
#include <memory>

class TfrPreviewForm;

class TfrPreview : public TCustomControl, public TfrPreviewPanel {
public:
  explicit TfrPreview(TComponent *AOwner);
  ~TfrPreview() override;
  QString ClassName() const override { return QStringLiteral("TfrPreview"); }
  void BeforeDestruction() override;

  // ---- TfrPreviewPanel ----
  TComponent *PreviewComponent() override { return this; }
  // Shows the report's prepared pages (nullptr: none).
  void ShowReport(TfrReport *Report) override;

  // Shows the pages of a host (the panel keeps the host): page 1, laid out.
  void AttachReport(std::unique_ptr<TfrPreviewHost> Host);
  // Lets go of the report's pages.
  void Clear();
  // Goes to page n (1 <= n <= PageCount) and scrolls to it.
  void SetPage(int n);
  int Page() const;
  int PageCount() const;
  void ZoomToPageWidth();
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  // The preview window whose page area the panel shows.
  TfrPreviewForm *Window() const { return window_; }

protected:
  void Paint() override;
  void AlignControls(TControl *AControl, TRect &Rect) override;

private:
  TfrPreviewForm *window_ = nullptr;
  TScrollStyle scrollBars_ = ssBoth;
};
