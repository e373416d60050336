// Pictures of the preview window and of the preview panel on a form, showing a two-page invoice. With
// TALLYROOK_SCREENSHOT_DIR set they are saved there as PNG files to be looked at.
#include "platform/windowing/control_grab.h"
#include "report/ui/format_form.h"
#include "report/ui/preview_panel.h"
#include "report/ui/print_form.h"
#include "report/ui/progress_form.h"
#include "report/ui/search_form.h"
#include "tests/report/ui_preview_fixture.h"
#include <QDir>
#include <QImage>

namespace {

class PreviewScreenshotTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    printers = std::make_unique<test::ScriptedPrinters>();
    builder.TwoPageInvoice(pages);
  }
  void TearDown() override {
    printers.reset();
    ReportModelTest::TearDown();
  }
  static void Save(const QImage &image, const QString &name) {
    const QString dir = qEnvironmentVariable("TALLYROOK_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    EXPECT_TRUE(image.save(dir + QLatin1Char('/') + name, "PNG"));
  }
  // Pixels of the page's inside that are neither paper white nor the grey ground: what is drawn on it.
  static int InkInside(const QImage &image, const TRect &r) {
    int ink = 0;
    for (int y = r.Top + 5; y < r.Bottom - 5; y += 2)
      for (int x = r.Left + 5; x < r.Right - 5; x += 2)
        if (qGray(image.pixel(x, y)) < 160) ++ink;
    return ink;
  }

  ScopedScriptedServices services;
  std::unique_ptr<test::ScriptedPrinters> printers;
  test::PreparedPagesBuilder builder;
  TfrEMFPages pages;
};

TEST_F(PreviewScreenshotTest, PreviewWindowShowsBothPagesOfTheInvoice) {
  auto *form = TCustomForm::Create<TfrPreviewForm>(nullptr);
  form->SetCaption(QStringLiteral("Invoice - Preview"));
  form->SetClientSize(1180, 820);
  auto host = std::make_unique<test::FakePreviewHost>(&pages);
  host->settings.InitialZoom = pzTwoPages;
  form->Connect(std::move(host));
  guitest::ShowAndActivate(form);
  guitest::ProcessEvents();
  EXPECT_TRUE(form->PrintBtn->Enabled());
  const QImage window = GrabControl(form);
  ASSERT_FALSE(window.isNull());
  Save(window, QStringLiteral("preview-window.png"));
  const QImage box = form->PBox->Widget()->grab().toImage();
  ASSERT_EQ(form->Layout().Rects.size(), 2u);
  EXPECT_EQ(form->Layout().Rects[0].Top, form->Layout().Rects[1].Top) << "side by side";
  EXPECT_GT(InkInside(box, form->Layout().Rects[0]), 200);
  EXPECT_GT(InkInside(box, form->Layout().Rects[1]), 100);
  EXPECT_EQ(form->PageLabel(), "Page 1/2");
  form->Free();
}

TEST_F(PreviewScreenshotTest, PreviewPanelOnAFormShowsTheInvoice) {
  auto *host = TCustomForm::Create<TForm>(nullptr);
  host->SetCaption(QStringLiteral("Print invoice"));
  host->SetClientSize(760, 620);
  auto *panel = new TfrPreview(host);
  panel->SetParent(host);
  panel->SetBounds(10, 10, 740, 600);
  panel->AttachReport(std::make_unique<test::FakePreviewHost>(&pages));
  panel->ZoomToPageWidth();
  guitest::ShowAndActivate(host);
  guitest::ProcessEvents();
  const QImage image = GrabControl(host);
  ASSERT_FALSE(image.isNull());
  Save(image, QStringLiteral("preview-panel.png"));
  const QImage box = panel->Window()->PBox->Widget()->grab().toImage();
  EXPECT_GT(InkInside(box, panel->Window()->Layout().Rects[0]), 200);
  panel->SetPage(2);
  guitest::ProcessEvents();
  Save(GrabControl(host), QStringLiteral("preview-panel-page2.png"));
  EXPECT_EQ(panel->Window()->PageLabel(), "Page 2/2");
  host->Free();
}

TEST_F(PreviewScreenshotTest, TheDialogsShowTheirFields) {
  auto *print = TCustomForm::Create<TfrPrintForm>(nullptr);
  auto *find = TCustomForm::Create<TfrPreviewSearchForm>(nullptr);
  auto *format = TCustomForm::Create<TfrFmtForm>(nullptr);
  format->Format = (1 << 24) | (1 << 16) | (2 << 8) | ',';
  TfrProgressFormWindow progress;
  progress.SetCaption(QStringLiteral("Invoice - Report preparing"));
  progress.SetLabel(QStringLiteral("Processing page:  2"));
  const std::pair<TCustomForm *, const char *> dialogs[] = {{print, "print-dialog.png"},
                                                            {find, "find-dialog.png"},
                                                            {format, "format-dialog.png"},
                                                            {progress.Form(), "progress-window.png"}};
  for (const auto &[dialog, name] : dialogs) {
    guitest::ShowAndActivate(dialog);
    const QImage image = GrabControl(dialog);
    ASSERT_FALSE(image.isNull()) << name;
    Save(image, QString::fromLatin1(name));
    dialog->Hide();
  }
  print->Free();
  find->Free();
  format->Free();
}

} // namespace
