// The preview: TfrPreviewForm shows a report's prepared pages at a zoom, lets the user page, scroll, zoom,
// find text, print, open and save prepared-report files and export them. Its page area (the page box with
// its scroll bars and the bottom bar with the page label and page buttons) can move into a TfrPreview panel
// on an application's form (preview_panel.h).
//
// The report owns its prepared pages; the preview refers to them through its host and keeps no copy, so
// the report may prepare, print, save or load its pages at any time and the preview shows what it has.
#pragma once
#include "platform/windowing/forms.h"
#include "report/ui/preview_host.h"
#include "report/ui/preview_layout.h"
#include "report/ui/toolbar_buttons.h"
#include <QList>
#include <functional>
#include <memory>

class TfrPreviewForm;
class TMenuItem;
class TPopupMenu;

// A plain bar of the preview (toolbar, bottom bar, the page area's frame): the window face with an optional
// caption at its left (the page label).
class TfrPreviewBar : public TCustomControl {
public:
  explicit TfrPreviewBar(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrPreviewBar"); }
  // An etched line along the top or bottom edge, parting the bar from the pages.
  bool EtchedTop = false;
  bool EtchedBottom = false;

protected:
  void Paint() override;
};

// The page box: paints the pages where the layout put them, scrolled, on a grey ground, and turns the
// mouse and its scroll bars into the preview's scrolling.
class TfrPBox : public TCustomControl {
public:
  TfrPBox(TComponent *AOwner, TfrPreviewForm *Preview);
  QString ClassName() const override { return QStringLiteral("TfrPBox"); }
  void WndProc(TMessage &Message) override;

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD &Key, TShiftState Shift) override;

private:
  TfrPreviewForm *preview_;
  bool dragging_ = false;
  TPoint last_;
};

// The entries of the zoom menu: caption and tag (1 page width, 2 whole page, 3 two pages, else a
// percentage); a separator stands before page width.
struct TfrZoomItem {
  QString Caption;
  int Tag = 0;
};
const QList<TfrZoomItem> &frZoomItems();

// What the find dialog answers.
struct TfrFindRequest {
  QString Text;
  bool CaseSensitive = false;
  bool FromFirstPage = true;
};

// What the print dialog answers.
struct TfrPrintRequest {
  QString PageNumbers; // empty: every page
  int Copies = 1;
};

class TfrPreviewForm : public TForm {
public:
  explicit TfrPreviewForm(TComponent *AOwner);
  ~TfrPreviewForm() override;
  QString ClassName() const override { return QStringLiteral("TfrPreviewForm"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // Takes the host of the report to show and shows its pages in the window: modally (then the window is
  // freed by the caller) or not (the window frees itself when closed), as the report's settings say.
  void ShowReport(std::unique_ptr<TfrPreviewHost> Host);
  // Connects the host and sets the window up for its pages without showing the window: the buttons the
  // settings allow, the initial zoom, page 1, the layout.
  void Connect(std::unique_ptr<TfrPreviewHost> Host);
  TfrPreviewHost *Host() const { return host_.get(); }
  // The report's pages, nullptr when nothing is connected.
  TfrEMFPages *Pages() const;

  // ---- pages, zoom and scrolling ----
  int PageCount() const;
  // 1-based; 0 with no pages.
  int CurrentPage() const { return PageCount() > 0 ? currentPage_ : 0; }
  // Goes to page n (1 <= n <= PageCount) and scrolls to it; other numbers change nothing.
  void SetPage(int n);
  TfrZoomMode ZoomMode() const { return zoomMode_; }
  double Zoom() const { return layout_.Factor; }
  // The zoom menu's action for an item's tag; the choice is remembered for the next preview.
  void ZoomMenuClick(int Tag);
  // Another zoom mode, laid out at once (not remembered).
  void SetZoomMode(TfrZoomMode Mode);
  const TfrPreviewLayout &Layout() const { return layout_; }
  void Relayout();
  int HorzPosition() const { return hPos_; }
  int VertPosition() const { return vPos_; }
  void SetHorzPosition(int Value);
  void SetVertPosition(int Value);
  QString PageLabel() const;
  // The item of the zoom menu that is checked (its tag), 0 when none.
  int CheckedZoomTag() const { return checkedZoomTag_; }
  // The zoom menu: the zoom items (their Tag as in frZoomItems), checked as the zoom is.
  TPopupMenu *ProcMenu = nullptr;

  // ---- the keys, as the window and the embedded page box handle them ----
  // Handles a key of the preview's table; Key becomes 0 when it was handled.
  void KeyAction(WORD &Key, TShiftState Shift);

  // ---- buttons ----
  void LoadBtnClick(TObject *Sender);
  void SaveBtnClick(TObject *Sender);
  void PrintBtnClick(TObject *Sender);
  void FindBtnClick(TObject *Sender);
  void ExitBtnClick(TObject *Sender);
  void ZoomBtnClick(TObject *Sender);
  void WebBtnClick(TObject *Sender);
  // F3: the next hit of the last search.
  void FindNext();
  QString FindText() const { return findText_; }

  // ---- embedding ----
  // Moves the page area (page box and bottom bar) into Parent, or back into the window with nullptr.
  void EmbedPageArea(TWinControl *Parent);
  bool Embedded() const { return embedded_; }
  void SetScrollBarsShown(bool Horizontal, bool Vertical);
  // Lines scrolled by one notch of the mouse wheel (1 in the window, 3 embedded).
  int WheelStep() const { return embedded_ ? 3 : 1; }

  // ---- the dialogs, replaceable by tests ----
  std::function<bool(TfrFindRequest &Request)> RunFindDialog;
  std::function<bool(TfrPrintRequest &Request, int &OldPrinter, int &NewPrinter)> RunPrintDialog;
  // Shows the zoom menu at a screen point (the default pops up the menu).
  std::function<void(const TPoint &ScreenPos)> ShowZoomMenu;

  // ---- controls ----
  TfrPreviewBar *Toolbar = nullptr;
  TfrTBButton *ZoomBtn = nullptr;
  TfrTBSeparator *ZoomSeparator = nullptr;
  TfrTBButton *LoadBtn = nullptr;
  TfrTBButton *SaveBtn = nullptr;
  TfrTBButton *PrintBtn = nullptr;
  TfrTBSeparator *FindSeparator = nullptr;
  TfrTBButton *FindBtn = nullptr;
  TfrTBButton *ExitBtn = nullptr;
  TfrTBButton *frTBButton1 = nullptr;
  TfrPreviewBar *PageArea = nullptr; // what moves into a panel
  TfrPBox *PBox = nullptr;
  TfrPreviewBar *BottomBar = nullptr;
  TfrSpeedButton *PgUp = nullptr;
  TfrSpeedButton *PgDown = nullptr;

  // Small and large scroll steps.
  static constexpr int SmallChange = 10;
  static constexpr int LargeChange = 200;

  void BeforeDestruction() override;

protected:
  void DoClose(TCloseAction &Action) override;
  void KeyDown(WORD &Key, TShiftState Shift) override;

private:
  friend class TfrPBox;
  void BuildControls();
  void ApplySettings();
  void PaintPages(TCanvas *Canvas, const TRect &Update);
  void UpdateScrollBars();
  void UpdatePageLabel();
  void ScrolledVertically();
  void RunFind(int Page, int Record);
  void PopupZoomMenu(const TPoint &ScreenPos);
  bool ButtonShown(const TfrTBButton *Button) const;
  // Lets go of the report's pages (their screen state and live objects) and of the host.
  void Disconnect();
  void DefaultZoomMenu(const TPoint &ScreenPos);
  void ZoomItemClick(TObject *Sender);
  void CheckZoomItem();
  bool DefaultFindDialog(TfrFindRequest &Request);
  bool DefaultPrintDialog(TfrPrintRequest &Request, int &OldPrinter, int &NewPrinter);

  std::unique_ptr<TfrPreviewHost> host_;
  int currentPage_ = 1;
  TfrZoomMode zoomMode_ = zmFactor;
  double factor_ = 1.0;
  TfrPreviewLayout layout_;
  int hPos_ = 0;
  int vPos_ = 0;
  int checkedZoomTag_ = 100;
  bool embedded_ = false;
  bool showHorz_ = true;
  bool showVert_ = true;
  bool pagesFromFile_ = false;
  // The find state: the text (upper-cased unless case-sensitive), and where the search goes on.
  QString findText_;
  QString findTyped_; // as the user typed it, for the next time the dialog shows
  bool findCaseSensitive_ = false;
  int findPage_ = 0;
  int findRecord_ = 0;
};

// The process-wide memory of the last zoom chosen in any preview (mode and factor).
void frRememberedZoom(TfrZoomMode &Mode, double &Factor);
void frSetRememberedZoom(TfrZoomMode Mode, double Factor);

// The web page that frTBButton1 opens. Empty (the default) hides the button: the program publishes no web
// page of its own, and a button must not lead to an address nobody keeps.
QString frWebPageAddress();
void frSetWebPageAddress(const QString &Address);
