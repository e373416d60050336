// The report component working through the real windows: preparing behind the progress window (and
// cancelling there), showing its pages in the preview window and in a preview panel, and the preview
// letting go when the report goes.
#include "../platform/gui_test_helpers.h"
#include "platform/widgets/std_buttons.h"
#include "platform/windowing/application.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/system_services.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_panel.h"
#include "report/ui/progress_form.h"
#include "report/ui/report_windows.h"
#include "tests/report/report_build_fixture.h"
#include <QTimer>

namespace {

class ReportWindowsTest : public build::ReportBuildTest {
protected:
  void SetUp() override {
    ReportBuildTest::SetUp();
    frInstallReportWindows();
    AddBand(btMasterData, 100, 100, QStringLiteral("frLines"));
    AddMemo(10, 100, 200, 20, {QStringLiteral("[NAME]")});
    FillItems(25);
  }
  void TearDown() override {
    frUninstallReportWindows();
    ReportBuildTest::TearDown();
  }
  // The preview windows open now.
  static QList<TfrPreviewForm *> Previews() {
    QList<TfrPreviewForm *> out;
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto *f = dynamic_cast<TfrPreviewForm *>(Screen()->Forms(i)); f && f->Visible()) out << f;
    return out;
  }
  ScopedScriptedServices services;
};

TEST_F(ReportWindowsTest, ShowReportOpensAPreviewWindowOnTheReportsPages) {
  report->ModalPreview = false;
  report->Title = QStringLiteral("Invoice");
  report->InitialZoom = pzPageWidth;
  ASSERT_TRUE(report->ShowReport());
  QList<TfrPreviewForm *> previews = Previews();
  ASSERT_EQ(previews.size(), 1);
  TfrPreviewForm *preview = previews[0];
  EXPECT_EQ(preview->Caption(), "Invoice - Preview");
  EXPECT_EQ(preview->ZoomMode(), zmPageWidth);
  bool freed = false;
  preview->OnDestroy = TNotifyEvent::From([&](TObject *) { freed = true; });
  report->Free(); // the report goes first: the preview lets go of its pages at once and closes
  report = nullptr;
  EXPECT_EQ(preview->PageCount(), 0);
  guitest::ProcessEvents();
  EXPECT_TRUE(freed);
  EXPECT_TRUE(Previews().isEmpty());
}

TEST_F(ReportWindowsTest, AModalPreviewEndsWithItsExitButtonAndIsFreed) {
  report->ModalPreview = true;
  // Once the preview shows (after the progress window), its exit button is pressed.
  bool wasModal = false;
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QList<TfrPreviewForm *> previews = Previews();
    if (previews.isEmpty()) return;
    poll.stop();
    wasModal = previews[0]->Modal();
    previews[0]->ExitBtnClick(nullptr);
  });
  poll.start();
  ASSERT_TRUE(report->ShowReport());
  EXPECT_TRUE(wasModal);
  guitest::ProcessEvents();
  EXPECT_TRUE(Previews().isEmpty());
  EXPECT_EQ(report->EMFPages().Count(), 3) << "the pages stay with the report";
}

TEST_F(ReportWindowsTest, AReportWithAPreviewPanelShowsItsPagesThere) {
  auto *host = TCustomForm::Create<TForm>(nullptr);
  host->SetClientSize(600, 500);
  auto *panel = new TfrPreview(host);
  panel->SetParent(host);
  panel->SetAlign(alClient);
  report->SetPreview(panel);
  ASSERT_TRUE(report->ShowReport());
  EXPECT_TRUE(Previews().isEmpty()) << "no window of its own";
  panel->SetPage(3);
  // Prepared again (fewer records): the panel shows what the report has now.
  lines->First();
  for (int i = 0; i < 15; ++i) lines->Delete();
  ASSERT_TRUE(report->ShowReport());
  EXPECT_EQ(panel->PageCount(), 1);
  EXPECT_EQ(panel->Page(), 1);
  host->Free();
  EXPECT_EQ(report->Preview(), nullptr) << "the report hears of the panel's removal";
}

} // namespace
