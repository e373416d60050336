// The preview window and panel on prepared pages: showing, page moves, keys that follow the buttons shown,
// search with F3, zoom, the print, save and open buttons, painting on a wide screen, and the pages staying
// the report's.
#include "platform/widgets/menus.h"
#include "platform/windowing/virtual_keys.h"
#include "report/ui/preview_panel.h"
#include "tests/report/ui_preview_fixture.h"
#include <QImage>
#include <QMenu>

namespace {

using test::FakePreviewHost;

class PreviewTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    frSetRememberedZoom(zmFactor, 1.0);
    builder.TwoPageInvoice(pages);
    form = TCustomForm::Create<TfrPreviewForm>(nullptr);
    form->SetClientSize(800, 600);
  }
  void TearDown() override {
    if (form) form->Free();
    guitest::ProcessEvents();
    ReportModelTest::TearDown();
  }
  FakePreviewHost *Connect(TfrPreviewSettings settings = {}) {
    auto host = std::make_unique<FakePreviewHost>(&pages);
    host->settings = settings;
    FakePreviewHost *raw = host.get();
    form->Connect(std::move(host));
    return raw;
  }
  void ShowForm() {
    guitest::ShowAndActivate(form);
    form->PBox->SetFocus();
    guitest::ProcessEvents();
  }
  void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    guitest::PressKey(key, mods, QString(), 0, form->PBox->Widget());
    guitest::ProcessEvents();
  }

  ScopedScriptedServices services;
  test::PreparedPagesBuilder builder;
  TfrEMFPages pages;
  TfrPreviewForm *form = nullptr;
};

TEST_F(PreviewTest, ZoomComesFromTheReportOrTheLastChoiceAndTheMenuShowsWhichIsChosen) {
  Connect();
  EXPECT_DOUBLE_EQ(form->Zoom(), 1.0) << "the remembered zoom";
  TMenuItem *items = form->ProcMenu->Items(); // 200 150 100 75 50 25 10 % - page width, whole page, two pages
  EXPECT_TRUE(items->Items(2)->Checked());
  items->Items(9)->Click(); // whole page
  EXPECT_EQ(form->ZoomMode(), zmWholePage);
  EXPECT_TRUE(items->Items(9)->Checked());

  TfrPreviewSettings settings;
  settings.InitialZoom = pzTwoPages;
  Connect(settings);
  EXPECT_EQ(form->Layout().PagesPerRow, 2);
  form->ZoomMenuClick(50);
  EXPECT_EQ(form->ZoomBtn->Caption(), "50%");
  auto *second = TCustomForm::Create<TfrPreviewForm>(nullptr);
  second->Connect(std::make_unique<FakePreviewHost>(&pages));
  EXPECT_DOUBLE_EQ(second->Zoom(), 0.5) << "the last choice is remembered for the next preview";
  EXPECT_EQ(second->CheckedZoomTag(), 50);
  second->Free();
}

TEST_F(PreviewTest, PagesMoveWithTheButtonsTheKeysTheWheelAndTheMouse) {
  Connect();
  ShowForm();
  guitest::Click(form->PgDown, QPoint(5, 5));
  EXPECT_EQ(form->CurrentPage(), 2);
  EXPECT_EQ(form->BottomBar->Caption(), "Page 2/2");
  // Ctrl+Page Down on the last page and Ctrl+Page Up on the first stay there.
  QList<int> shown;
  for (const int key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home}) {
    Press(key, Qt::ControlModifier);
    shown << form->CurrentPage();
  }
  EXPECT_EQ(shown, (QList<int>{2, 1, 1, 2, 1}));
  EXPECT_EQ(form->VertPosition(), 0);
  Press(Qt::Key_Down);
  Press(Qt::Key_PageDown);
  EXPECT_EQ(form->VertPosition(), TfrPreviewForm::SmallChange + TfrPreviewForm::LargeChange);
  // Page numbers outside the report change nothing.
  form->SetPage(1);
  form->SetPage(3);
  form->SetPage(0);
  EXPECT_EQ(form->CurrentPage(), 1);

  form->SetVertPosition(0);
  TMessage wheel{WM_MOUSEWHEEL, MAKEWPARAM(0, -2 * WHEEL_DELTA), 0, 0};
  form->PBox->Perform(wheel.Msg, wheel.WParam, wheel.LParam);
  EXPECT_EQ(form->VertPosition(), 2 * TfrPreviewForm::SmallChange) << "two notches, step 1 in the window";
  guitest::SendMouse(form->PBox, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 300), Qt::LeftButton);
  guitest::SendMouse(form->PBox, QEvent::MouseMove, Qt::NoButton, QPoint(200, 250), Qt::LeftButton);
  guitest::SendMouse(form->PBox, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 250), Qt::NoButton);
  EXPECT_EQ(form->VertPosition(), 2 * TfrPreviewForm::SmallChange + 50) << "the pages follow the mouse up";
}

TEST_F(PreviewTest, KeysFollowTheButtonsThatAreShown) {
  int finds = 0, zoomMenus = 0;
  form->RunFindDialog = [&](TfrFindRequest &) {
    ++finds;
    return false;
  };
  form->ShowZoomMenu = [&](const TPoint &) { ++zoomMenus; };
  test::ScriptedPrinters printers;
  TfrPreviewSettings settings;
  settings.Buttons = TfrPreviewButtons{pbPrint};
  FakePreviewHost *host = Connect(settings);
  form->RunPrintDialog = [&](TfrPrintRequest &, int &, int &) { return true; };
  ShowForm();
  QList<bool> shown;
  for (TControl *c : QList<TControl *>{form->ZoomBtn, form->ZoomSeparator, form->FindBtn, form->FindSeparator,
                                       form->ExitBtn, form->PrintBtn})
    shown << c->Visible();
  EXPECT_EQ(shown, (QList<bool>{false, false, false, false, false, true}));
  for (const int key : {Qt::Key_F, Qt::Key_O, Qt::Key_S}) Press(key, Qt::ControlModifier);
  Press(Qt::Key_Space);
  Press(Qt::Key_Escape);
  EXPECT_EQ(finds + zoomMenus + services->FileDialogs().size(), 0);
  EXPECT_TRUE(form->Visible()) << "Escape closes only through a shown exit button";
  Press(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(host->calls, QStringList({"print '' x1"}));

  // With every button shown the same keys act.
  Connect();
  form->RunPrintDialog = [&](TfrPrintRequest &, int &, int &) { return false; };
  for (const int key : {Qt::Key_F, Qt::Key_S}) Press(key, Qt::ControlModifier);
  Press(Qt::Key_Space);
  EXPECT_EQ(QList<int>({finds, zoomMenus, int(services->FileDialogs().size())}), QList<int>({1, 1, 1}));
  bool freed = false;
  form->OnDestroy = TNotifyEvent::From([&](TObject *) { freed = true; });
  Press(Qt::Key_Escape);
  guitest::ProcessEvents();
  EXPECT_TRUE(freed) << "Escape closes the window, which frees itself";
  form = nullptr;
}

TEST_F(PreviewTest, ToolbarButtonsLookAsTheReportAsksAndTheWebButtonOpensAGivenPage) {
  TfrPreviewSettings settings;
  settings.GrayedButtons = true;
  Connect(settings);
  EXPECT_TRUE(form->ZoomBtn->GrayedInactive());
  EXPECT_FALSE(form->frTBButton1->Visible()) << "no web page is kept, so no button leads to one";

  struct WebPage {
    WebPage() { frSetWebPageAddress(QStringLiteral("https://example.com/reports")); }
    ~WebPage() { frSetWebPageAddress(QString()); }
  } webPage;
  form->Free();
  form = TCustomForm::Create<TfrPreviewForm>(nullptr);
  Connect();
  ShowForm();
  guitest::Click(form->frTBButton1, QPoint(5, 5));
  EXPECT_EQ(services->OpenedUrls(), QList<QUrl>{QUrl(QStringLiteral("https://example.com/reports"))});
}

TEST_F(PreviewTest, PrintButtonNeedsAPrinterAndMovesTheReportToAnotherPrinterChosen) {
  Connect();
  EXPECT_FALSE(form->PrintBtn->Enabled()) << "the virtual printer alone is no printer";
  test::ScriptedPrinters printers;
  FakePreviewHost *host = Connect();
  EXPECT_TRUE(form->PrintBtn->Enabled());
  // Another printer chosen: the report moves to it and prepares its pages again before printing; a failed
  // change prints nothing; a report that cannot prepare again prints what it has.
  form->RunPrintDialog = [](TfrPrintRequest &r, int &oldIndex, int &newIndex) {
    oldIndex = 0;
    newIndex = 1;
    r.Copies = 1;
    return true;
  };
  form->PrintBtnClick(nullptr);
  host->changeSucceeds = false;
  form->PrintBtnClick(nullptr);
  host->canRebuild = false;
  form->PrintBtnClick(nullptr);
  EXPECT_EQ(host->calls, QStringList({"change printer 0 -> 1", "prepare", "print '' x1",
                                      "change printer 0 -> 1", "print '' x1"}));
}

// On the PDF printer each print asks where its file goes, offering the report's title as the name; nothing
// prints when the user cancels.
TEST_F(PreviewTest, PrintingOnThePdfPrinterAsksForTheFileEachTime) {
  test::ScriptedPrinters printers;
  ASSERT_TRUE(ReportPrinter()->SelectPrinterByName(TPrinter::PdfPrinterName()));
  TfrPreviewSettings settings;
  settings.Title = QStringLiteral("Statement 7");
  FakePreviewHost *host = Connect(settings);
  form->RunPrintDialog = [](TfrPrintRequest &, int &, int &) { return true; };
  ShowForm();
  QTemporaryDir dir;
  const QString chosen = dir.filePath(QStringLiteral("statement.pdf"));
  services->AnswerFileDialog(std::nullopt);
  services->AnswerFileDialog(TFileDialogResult{chosen, 1});
  for (int i = 0; i < 3; ++i) Press(Qt::Key_P, Qt::ControlModifier);
  ASSERT_EQ(services->FileDialogs().size(), 3);
  EXPECT_TRUE(services->FileDialogs()[0].FileName.endsWith(QStringLiteral("/Statement 7.pdf")));
  EXPECT_EQ(host->calls, QStringList({"print '' x1"})) << "printed once, to the file chosen";
  EXPECT_EQ(Printer()->PdfFileName(), QString()) << "the last print was cancelled";
}

TEST_F(PreviewTest, FindAndF3WalkTheHitsWithTheCaseOption) {
  Connect();
  ShowForm();
  TfrFindRequest answer{QStringLiteral("batch 3"), false, true};
  form->RunFindDialog = [&](TfrFindRequest &r) {
    r = answer;
    return true;
  };
  Press(Qt::Key_F3);
  EXPECT_EQ(form->CurrentPage(), 1) << "no search yet: F3 does nothing";
  form->FindBtnClick(nullptr);
  EXPECT_EQ(form->FindText(), "BATCH 3");
  // The hit (item 3, the third row of the table) stands 10 pixels below the top of the view.
  const TRect page1 = form->Layout().Rects[0];
  EXPECT_EQ(form->VertPosition(), page1.Top + (200 + 22 + 2 * 20) - 10);
  Press(Qt::Key_F3);
  const int first = form->VertPosition();
  Press(Qt::Key_F3);
  EXPECT_EQ(form->CurrentPage(), 2);
  EXPECT_EQ(form->VertPosition(), first + 20) << "the next hit on the same page (batch 31)";

  // Case-sensitive: "Invoice no" is not "invoice no".
  answer = {QStringLiteral("invoice no"), true, true};
  form->SetPage(2);
  form->FindBtnClick(nullptr);
  EXPECT_EQ(form->CurrentPage(), 2) << "nothing found changes nothing";
  // Moved away from the last hit, F3 starts over on the page shown.
  form->SetPage(1);
  Press(Qt::Key_F3);
  EXPECT_EQ(form->CurrentPage(), 1);
  // A damaged page holds no text and the search goes on to the next page.
  pages[0].Stream->SetSize(pages[0].Stream->Size() - 3); // cut inside the last object
  answer = {QStringLiteral("invoice no"), false, true};
  form->FindBtnClick(nullptr);
  EXPECT_EQ(form->CurrentPage(), 2);
}

TEST_F(PreviewTest, SaveOffersTheExportFiltersAndOpenLoadsAFile) {
  FakePreviewHost *host = Connect();
  services->AnswerFileDialog(TFileDialogResult{QStringLiteral("/tmp/inv.txt"), 1});
  services->AnswerFileDialog(TFileDialogResult{QStringLiteral("/tmp/inv"), 2});
  services->AnswerFileDialog(std::nullopt);
  for (int i = 0; i < 3; ++i) form->SaveBtnClick(nullptr);
  ASSERT_EQ(services->FileDialogs()[0].Filters.size(), 2);
  form->SetPage(2);
  services->AnswerFileDialog(TFileDialogResult{QStringLiteral("/tmp/old.frp"), 1});
  form->LoadBtnClick(nullptr);
  EXPECT_EQ(host->calls, QStringList({"save /tmp/inv.frp", "export 0 /tmp/inv.txt", "load /tmp/old.frp"}));
  EXPECT_EQ(form->CurrentPage(), 1);
}

TEST_F(PreviewTest, ThePagesStayTheReportsAndThePreviewFollowsThem) {
  Connect();
  ShowForm();
  builder.AddPage(pages);
  form->Relayout();
  EXPECT_EQ(form->PageLabel(), "Page 1/3") << "the preview shows the report's list itself";
  form->SetPage(3);
  pages.Delete(2);
  form->Relayout();
  EXPECT_EQ(form->CurrentPage(), 2);
  // Pages scrolled out of view let go of their objects.
  form->SetVertPosition(form->Layout().VMax);
  form->PBox->Repaint();
  guitest::ProcessEvents();
  EXPECT_TRUE(pages[0].Page == nullptr);
  form->Free();
  form = nullptr;
  EXPECT_EQ(pages.Count(), 2) << "freeing the preview leaves the report's pages alone";
}

TEST_F(PreviewTest, PagesArePaintedWhereverTheyStandOnAWideScreen) {
  form->SetClientSize(3300, 700);
  Connect();
  builder.AddPage(pages);
  builder.AddPage(pages);
  form->Relayout();
  ShowForm();
  ASSERT_GE(form->Layout().PagesPerRow, 4);
  const TRect fourth = form->Layout().Rects[3];
  ASSERT_GT(fourth.Left, 2000) << "the case the old rule left blank";
  const QImage box = form->PBox->Widget()->grab().toImage();
  EXPECT_EQ(box.pixel(fourth.Left + 50, fourth.Top + 300) & 0xFFFFFF, 0xFFFFFFu) << "white paper";
  EXPECT_EQ(box.pixel(fourth.Left, fourth.Top + 300) & 0xFFFFFF, 0u) << "black frame";
}

TEST_F(PreviewTest, NoPagesShowAnEmptyBoxAndKeysDoNothing) {
  TfrEMFPages none;
  form->Connect(std::make_unique<FakePreviewHost>(&none));
  ShowForm();
  EXPECT_EQ(form->PageLabel(), "Page 0/0");
  Press(Qt::Key_PageDown, Qt::ControlModifier);
  Press(Qt::Key_Down);
  EXPECT_EQ(form->VertPosition(), 0);
  form->Free(); // before the pages it refers to go
  form = nullptr;
}

// ---- the panel ----

// A form that notes the dialog keys it is offered.
class HostForm : public TForm {
public:
  using TForm::TForm;
  QList<WPARAM> dialogKeys;
  void WndProc(TMessage &m) override {
    if (m.Msg == CM_DIALOGKEY) dialogKeys.append(m.WParam);
    TForm::WndProc(m);
  }
};

class PreviewPanelTest : public PreviewTest {
protected:
  void SetUp() override {
    PreviewTest::SetUp();
    host = TCustomForm::Create<HostForm>(nullptr);
    host->SetClientSize(700, 500);
    panel = new TfrPreview(host);
    panel->SetParent(host);
    panel->SetAlign(alClient);
  }
  void TearDown() override {
    host->Free();
    PreviewTest::TearDown();
  }
  HostForm *host = nullptr;
  TfrPreview *panel = nullptr;
};

TEST_F(PreviewPanelTest, PanelShowsThePageAreaKeysWorkThereAndEscapeGoesToTheParentForm) {
  panel->AttachReport(std::make_unique<FakePreviewHost>(&pages));
  guitest::ShowAndActivate(host);
  EXPECT_EQ(panel->Window()->PageArea->Parent(), panel);

  TfrPBox *box = panel->Window()->PBox;
  box->SetFocus();
  guitest::ProcessEvents();
  guitest::PressKey(Qt::Key_PageDown, Qt::ControlModifier, QString(), 0, box->Widget());
  EXPECT_EQ(panel->Page(), 2);
  guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(), 0, box->Widget());
  guitest::ProcessEvents();
  EXPECT_TRUE(host->dialogKeys.contains(VK_ESCAPE)) << "the parent form is offered Escape";
  TMessage wheel{WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0, 0};
  panel->SetPage(1);
  box->Perform(wheel.Msg, wheel.WParam, wheel.LParam);
  EXPECT_EQ(panel->Window()->VertPosition(), 3 * TfrPreviewForm::SmallChange) << "wheel step 3 embedded";
  // Freeing the panel frees its window and leaves the pages.
  panel->Free();
  guitest::ProcessEvents();
  EXPECT_EQ(pages.Count(), 2);
  EXPECT_FALSE(pages[0].Visible) << "the pages let go of their screen state with the preview";
}

TEST_F(PreviewPanelTest, ThePanelOffersItsOwnPopupMenuOrTheZoomMenu) {
  QList<TPoint> zoomMenus;
  panel->Window()->ShowZoomMenu = [&](const TPoint &at) { zoomMenus << at; };
  panel->AttachReport(std::make_unique<FakePreviewHost>(&pages));
  guitest::ShowAndActivate(host);
  TfrPBox *box = panel->Window()->PBox;

  auto rightClick = [&] {
    guitest::SendMouse(box, QEvent::MouseButtonPress, Qt::RightButton, QPoint(40, 50), Qt::RightButton);
    guitest::SendMouse(box, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(40, 50), Qt::NoButton);
  };
  rightClick();
  EXPECT_EQ(zoomMenus.size(), 1) << "without a menu of its own the panel offers the zoom menu";
  auto *menu = new TPopupMenu(host);
  int popups = 0;
  menu->OnPopup = TNotifyEvent::From([&](TObject *) { ++popups; });
  panel->SetPopupMenu(menu);
  rightClick();
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(zoomMenus.size(), 1);
}

} // namespace
