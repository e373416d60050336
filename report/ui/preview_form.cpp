#include "report/ui/preview_form.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/pdf_file_choice.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "report/prepared_pages.h"
#include "report/ui/preview_search.h"
#include "report/ui/print_form.h"
#include "report/ui/search_form.h"
#include "report/ui/toolbar_glyphs.h"
#include "report/ui/ui_texts.h"
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <cmath>

namespace {
QString &WebPageAddress() {
  static QString address;
  return address;
}
} // namespace

QString frWebPageAddress() { return WebPageAddress(); }
void frSetWebPageAddress(const QString &Address) { WebPageAddress() = Address; }

namespace {

TfrZoomMode g_lastMode = zmFactor;
double g_lastFactor = 1.0;

// Scroll bar messages carry 16-bit positions: a longer range is counted in steps of several pixels.
constexpr int kMaxBarRange = 32000;
int BarStep(int range) { return std::max(1, (range + kMaxBarRange - 1) / kMaxBarRange); }

} // namespace

void frRememberedZoom(TfrZoomMode &Mode, double &Factor) {
  Mode = g_lastMode;
  Factor = g_lastFactor;
}

void frSetRememberedZoom(TfrZoomMode Mode, double Factor) {
  g_lastMode = Mode;
  g_lastFactor = Factor;
}

const QList<TfrZoomItem> &frZoomItems() {
  static const QList<TfrZoomItem> items{
      {QStringLiteral("200%"), 200}, {QStringLiteral("150%"), 150}, {QStringLiteral("100%"), 100},
      {QStringLiteral("75%"), 75},   {QStringLiteral("50%"), 50},   {QStringLiteral("25%"), 25},
      {QStringLiteral("10%"), 10},   {frtext::PageWidth, 1},        {frtext::WholePage, 2},
      {frtext::TwoPages, 3},
  };
  return items;
}

// ---- TfrPreviewBar ----

TfrPreviewBar::TfrPreviewBar(TComponent *AOwner) : TCustomControl(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
  SetColor(clBtnFace);
}

void TfrPreviewBar::Paint() {
  TCanvas *canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(ClientRect());
  const TRect all = ClientRect();
  auto etch = [&](int y) {
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(all.Left, y);
    canvas->LineTo(all.Right, y);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(all.Left, y + 1);
    canvas->LineTo(all.Right, y + 1);
  };
  if (EtchedTop) etch(all.Top);
  if (EtchedBottom) etch(all.Bottom - 2);
  if (Caption().isEmpty()) return;
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  TRect r = ClientRect();
  r.Left += 6;
  canvas->DrawText(Caption(), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TfrPBox ----

TfrPBox::TfrPBox(TComponent *AOwner, TfrPreviewForm *Preview) : TCustomControl(AOwner), preview_(Preview) {
  SetTabStop(true);
  SetColor(clGray);
}

void TfrPBox::CreateParams(TCreateParams &Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_HSCROLL | WS_VSCROLL;
}

void TfrPBox::CreateWnd() {
  TCustomControl::CreateWnd();
  // The window's scroll bars now take their room from the client area.
  preview_->Relayout();
}

void TfrPBox::Paint() {
  TRect update = TRect::FromQRect(PaintRegion().boundingRect());
  if (update.IsEmpty()) update = ClientRect();
  preview_->PaintPages(Canvas(), update);
}

void TfrPBox::Resize() {
  TCustomControl::Resize();
  preview_->Relayout();
}

void TfrPBox::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
  case WM_HSCROLL:
  case WM_VSCROLL: {
    const bool vertical = Message.Msg == WM_VSCROLL;
    const int range = vertical ? preview_->layout_.VMax : preview_->layout_.HMax;
    const int step = BarStep(range);
    int pos = vertical ? preview_->vPos_ : preview_->hPos_;
    switch (Message.WParamLo()) {
    case SB_LINEUP: pos -= TfrPreviewForm::SmallChange; break;
    case SB_LINEDOWN: pos += TfrPreviewForm::SmallChange; break;
    case SB_PAGEUP: pos -= TfrPreviewForm::LargeChange; break;
    case SB_PAGEDOWN: pos += TfrPreviewForm::LargeChange; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = int(Message.WParamHi()) * step; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range; break;
    default: return;
    }
    if (vertical)
      preview_->SetVertPosition(pos);
    else
      preview_->SetHorzPosition(pos);
    return;
  }
  case WM_MOUSEWHEEL: {
    const int delta = std::int16_t(Message.WParamHi());
    const int notches = delta / WHEEL_DELTA != 0 ? delta / WHEEL_DELTA : (delta > 0 ? 1 : -1);
    if (delta != 0 && preview_->PageCount() > 0)
      preview_->SetVertPosition(preview_->vPos_ -
                                notches * TfrPreviewForm::SmallChange * preview_->WheelStep());
    Message.Result = 1;
    return;
  }
  default: TCustomControl::WndProc(Message);
  }
}

void TfrPBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (preview_->PageCount() == 0) return;
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    dragging_ = true;
    last_ = {X, Y};
  } else if (Button == mbRight && !PopupMenu()) {
    // The popup menu of the panel the pages stand in, when it has one; else the zoom menu.
    const TPoint at = ClientToScreen({X, Y});
    TControl *panel = preview_->Embedded() ? preview_->PageArea->Parent() : nullptr;
    if (panel && panel->PopupMenu())
      panel->PopupMenu()->Popup(at.X, at.Y);
    else
      preview_->PopupZoomMenu(at);
  }
}

void TfrPBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!dragging_ || !Shift.Contains(ssLeft)) return;
  // The pages follow the mouse.
  preview_->SetHorzPosition(preview_->hPos_ - (X - last_.X));
  preview_->SetVertPosition(preview_->vPos_ - (Y - last_.Y));
  last_ = {X, Y};
}

void TfrPBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) dragging_ = false;
}

void TfrPBox::KeyDown(WORD &Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  // In the window the form sees the keys first; inside a panel the page box hands them to the preview.
  if (Key != 0 && preview_->Embedded()) preview_->KeyAction(Key, Shift);
}

// ---- TfrPreviewForm ----

TfrPreviewForm::TfrPreviewForm(TComponent *AOwner) : TForm(AOwner) {
  RunFindDialog = [this](TfrFindRequest &r) { return DefaultFindDialog(r); };
  RunPrintDialog = [this](TfrPrintRequest &r, int &o, int &n) { return DefaultPrintDialog(r, o, n); };
  ShowZoomMenu = [this](const TPoint &p) { DefaultZoomMenu(p); };
  BuildControls();
}

TfrPreviewForm::~TfrPreviewForm() = default;

namespace {

TfrTBButton *MakeButton(TfrPreviewForm *form, TWinControl *parent, int &left, const char *glyph,
                        const QString &hint, void (TfrPreviewForm::*click)(TObject *)) {
  auto *button = new TfrTBButton(form);
  button->SetBounds(left, 0, 25, 25);
  left += 25;
  button->SetParent(parent);
  frLoadReportGlyph(button->Glyph(), glyph);
  button->SetHint(hint);
  button->SetShowHint(true);
  button->OnClick = TNotifyEvent(form, click);
  return button;
}

TfrTBSeparator *MakeSeparator(TfrPreviewForm *form, TWinControl *parent, int &left) {
  auto *separator = new TfrTBSeparator(form);
  separator->SetBounds(left, 0, 8, 25);
  left += 8;
  separator->SetParent(parent);
  return separator;
}

} // namespace

void TfrPreviewForm::BuildControls() {
  SetCaption(frtext::Preview);
  SetKeyPreview(true);
  SetClientSize(760, 560);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetSize(8);

  Toolbar = new TfrPreviewBar(this);
  Toolbar->SetBounds(0, 0, 760, 28);
  Toolbar->SetParent(this);
  Toolbar->SetAlign(alTop);
  Toolbar->EtchedBottom = true;
  int left = 2;
  ZoomBtn = MakeButton(this, Toolbar, left, frGlyphZoom, frtext::Scale, &TfrPreviewForm::ZoomBtnClick);
  ZoomBtn->SetCaption(QStringLiteral("200%"));
  ZoomBtn->SetWidth(66);
  ZoomBtn->SetMargin(4);
  left += 41;
  ZoomSeparator = MakeSeparator(this, Toolbar, left);
  LoadBtn = MakeButton(this, Toolbar, left, frGlyphOpen, frtext::OpenReport, &TfrPreviewForm::LoadBtnClick);
  SaveBtn = MakeButton(this, Toolbar, left, frGlyphSave, frtext::SaveReport, &TfrPreviewForm::SaveBtnClick);
  PrintBtn =
      MakeButton(this, Toolbar, left, frGlyphPrint, frtext::PrintReport, &TfrPreviewForm::PrintBtnClick);
  FindSeparator = MakeSeparator(this, Toolbar, left);
  FindBtn = MakeButton(this, Toolbar, left, frGlyphFind, frtext::FindText, &TfrPreviewForm::FindBtnClick);
  ExitBtn = MakeButton(this, Toolbar, left, frGlyphExit, frtext::ClosePreview, &TfrPreviewForm::ExitBtnClick);
  frTBButton1 = MakeButton(this, Toolbar, left, frGlyphWeb, frtext::WebPage, &TfrPreviewForm::WebBtnClick);
  frTBButton1->SetAlign(alRight);
  frTBButton1->SetCursor(crHandPoint);
  frTBButton1->SetVisible(!frWebPageAddress().isEmpty());

  PageArea = new TfrPreviewBar(this);
  PageArea->SetParent(this);
  PageArea->SetAlign(alClient);

  BottomBar = new TfrPreviewBar(this);
  BottomBar->SetBounds(0, 0, 760, 20);
  BottomBar->SetParent(PageArea);
  BottomBar->SetAlign(alBottom);
  BottomBar->EtchedTop = true;
  PgDown = new TfrSpeedButton(this);
  PgDown->SetBounds(740, 0, 20, 20);
  PgDown->SetParent(BottomBar);
  PgDown->SetAlign(alRight);
  PgDown->SetFlat(true);
  PgDown->SetGrayedInactive(false);
  frLoadReportGlyph(PgDown->Glyph(), frGlyphPageDown);
  PgDown->OnClick = TNotifyEvent::From([this](TObject *) { SetPage(CurrentPage() + 1); });
  PgUp = new TfrSpeedButton(this);
  PgUp->SetBounds(720, 0, 20, 20);
  PgUp->SetParent(BottomBar);
  PgUp->SetAlign(alRight);
  PgUp->SetFlat(true);
  PgUp->SetGrayedInactive(false);
  frLoadReportGlyph(PgUp->Glyph(), frGlyphPageUp);
  PgUp->OnClick = TNotifyEvent::From([this](TObject *) { SetPage(CurrentPage() - 1); });

  ProcMenu = new TPopupMenu(this);
  for (const TfrZoomItem &zoom : frZoomItems()) {
    if (zoom.Tag == 1) {
      auto *line = new TMenuItem(this);
      line->SetCaption(QStringLiteral("-"));
      ProcMenu->Items()->Add(line);
    }
    auto *item = new TMenuItem(this);
    item->SetCaption(zoom.Caption);
    item->SetTag(zoom.Tag);
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->OnClick = TNotifyEvent(this, &TfrPreviewForm::ZoomItemClick);
    ProcMenu->Items()->Add(item);
  }

  PBox = new TfrPBox(this, this);
  PBox->SetParent(PageArea);
  PBox->SetAlign(alClient);
  UpdatePageLabel();
}

void TfrPreviewForm::Notification(TComponent *AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && host_ && AComponent == host_->Component()) {
    // The report is going: its pages go with it, so the preview lets go and closes.
    Disconnect();
    Relayout();
    if (!embedded_ && Visible()) {
      if (Modal())
        SetModalResult(mrCancel);
      else
        Release();
    }
  }
}

void TfrPreviewForm::Disconnect() {
  if (TfrEMFPages *pages = Pages())
    for (int i = 0; i < pages->Count(); ++i) {
      (*pages)[i].Visible = false;
      (*pages)[i].Page.reset();
    }
  if (host_ && host_->Component()) host_->Component()->RemoveFreeNotification(this);
  host_.reset();
  findText_.clear();
}

void TfrPreviewForm::BeforeDestruction() {
  Disconnect();
  TForm::BeforeDestruction();
}

void TfrPreviewForm::KeyDown(WORD &Key, TShiftState Shift) {
  TForm::KeyDown(Key, Shift);
  if (Key != 0 && !embedded_) KeyAction(Key, Shift);
}

TfrEMFPages *TfrPreviewForm::Pages() const { return host_ ? &host_->Pages() : nullptr; }

int TfrPreviewForm::PageCount() const {
  const TfrEMFPages *pages = Pages();
  return pages ? pages->Count() : 0;
}

void TfrPreviewForm::Connect(std::unique_ptr<TfrPreviewHost> Host) {
  Disconnect();
  host_ = std::move(Host);
  if (host_ && host_->Component()) host_->Component()->FreeNotification(this);
  pagesFromFile_ = false;
  ApplySettings();
  currentPage_ = 1;
  hPos_ = 0;
  vPos_ = 0;
  Relayout();
}

void TfrPreviewForm::ApplySettings() {
  const TfrPreviewSettings settings = host_ ? host_->Settings() : TfrPreviewSettings{};
  const bool designing = ComponentState().Contains(csDesigning);
  auto shown = [&](TfrPreviewButton b) { return designing || settings.Buttons.Contains(b); };
  ZoomBtn->SetVisible(shown(pbZoom));
  ZoomSeparator->SetVisible(shown(pbZoom));
  LoadBtn->SetVisible(shown(pbLoad));
  SaveBtn->SetVisible(shown(pbSave));
  PrintBtn->SetVisible(shown(pbPrint));
  // There is no help here, so the separator before find and help goes with the find button.
  FindSeparator->SetVisible(shown(pbFind));
  FindBtn->SetVisible(shown(pbFind));
  ExitBtn->SetVisible(shown(pbExit));
  // The platform printers, without the report engine's virtual printer.
  PrintBtn->SetEnabled(ReportPrinter()->Printers().size() > 1);
  for (TfrSpeedButton *b : {static_cast<TfrSpeedButton *>(ZoomBtn), static_cast<TfrSpeedButton *>(LoadBtn),
                            static_cast<TfrSpeedButton *>(SaveBtn), static_cast<TfrSpeedButton *>(PrintBtn),
                            static_cast<TfrSpeedButton *>(FindBtn), static_cast<TfrSpeedButton *>(ExitBtn),
                            static_cast<TfrSpeedButton *>(frTBButton1)})
    b->SetGrayedInactive(settings.GrayedButtons);
  switch (settings.InitialZoom) {
  case pzPageWidth: zoomMode_ = zmPageWidth; break;
  case pzOnePage: zoomMode_ = zmWholePage; break;
  case pzTwoPages: zoomMode_ = zmTwoPages; break;
  case pzDefault: frRememberedZoom(zoomMode_, factor_); break;
  }
  checkedZoomTag_ = zoomMode_ != zmFactor ? int(zoomMode_) : int(std::lround(factor_ * 100));
  CheckZoomItem();
}

void TfrPreviewForm::ShowReport(std::unique_ptr<TfrPreviewHost> Host) {
  const bool modal = Host ? Host->Settings().ModalPreview : true;
  Connect(std::move(Host));
  SetWindowState(wsMaximized);
  if (modal) {
    ShowModal();
  } else {
    Show();
  }
}

// In a panel the toolbar is not shown, but its keys work as the report's buttons say; Escape belongs to the
// panel's form.
bool TfrPreviewForm::ButtonShown(const TfrTBButton *Button) const {
  return Button->Visible() && !(embedded_ && Button == ExitBtn);
}

void TfrPreviewForm::DoClose(TCloseAction &Action) {
  TForm::DoClose(Action);
  // A window of its own is freed when closed; a modal one by whoever showed it.
  if (!Modal() && !embedded_) Action = caFree;
}

// ---- layout and scrolling ----

void TfrPreviewForm::Relayout() {
  TfrEMFPages *pages = Pages();
  std::vector<TSize> sizes;
  if (pages)
    for (int i = 0; i < pages->Count(); ++i)
      sizes.push_back({(*pages)[i].PrnInfo.Pgw, (*pages)[i].PrnInfo.Pgh});
  currentPage_ = std::clamp(currentPage_, 1, std::max(1, int(sizes.size())));
  layout_ =
      frLayoutPreview(sizes, currentPage_ - 1, zoomMode_, factor_, PBox->ClientWidth(), PBox->ClientHeight());
  factor_ = layout_.Factor;
  if (pages)
    for (int i = 0; i < pages->Count(); ++i) (*pages)[i].R = layout_.Rects[size_t(i)];
  ZoomBtn->SetCaption(frZoomCaption(factor_));
  hPos_ = std::clamp(hPos_, 0, layout_.HMax);
  vPos_ = layout_.VPosition;
  UpdateScrollBars();
  UpdatePageLabel();
  PBox->Invalidate();
}

void TfrPreviewForm::UpdateScrollBars() {
  auto set = [this](int bar, int range, int position, int page, bool shown) {
    const int step = BarStep(range);
    TScrollBarState state;
    state.Min = 0;
    state.Visible = shown;
    state.Enabled = range > 0;
    if (range > 0) {
      state.Page = std::max(1, page / step);
      state.Max = range / step + state.Page - 1;
      state.Pos = position / step;
    }
    PBox->SetScrollBar(bar, state);
  };
  set(SB_HORZ, layout_.HMax, hPos_, PBox->ClientWidth(), showHorz_);
  set(SB_VERT, layout_.VMax, vPos_, PBox->ClientHeight(), showVert_);
}

void TfrPreviewForm::SetScrollBarsShown(bool Horizontal, bool Vertical) {
  showHorz_ = Horizontal;
  showVert_ = Vertical;
  UpdateScrollBars();
}

void TfrPreviewForm::SetHorzPosition(int Value) {
  Value = std::clamp(Value, 0, layout_.HMax);
  if (Value == hPos_) return;
  const int dx = hPos_ - Value;
  hPos_ = Value;
  PBox->ScrollWindow(dx, 0);
  UpdateScrollBars();
}

void TfrPreviewForm::SetVertPosition(int Value) {
  Value = std::clamp(Value, 0, layout_.VMax);
  if (Value == vPos_) return;
  const int dy = vPos_ - Value;
  vPos_ = Value;
  PBox->ScrollWindow(0, dy);
  UpdateScrollBars();
  ScrolledVertically();
}

void TfrPreviewForm::ScrolledVertically() {
  currentPage_ = frPageAtScrollPosition(layout_.Rects, vPos_, currentPage_ - 1) + 1;
  UpdatePageLabel();
}

QString TfrPreviewForm::PageLabel() const {
  return frtext::Page + QLatin1Char(' ') + QString::number(CurrentPage()) + QLatin1Char('/') +
         QString::number(PageCount());
}

void TfrPreviewForm::UpdatePageLabel() { BottomBar->SetCaption(PageLabel()); }

void TfrPreviewForm::SetPage(int n) {
  if (n < 1 || n > PageCount()) return;
  currentPage_ = n;
  SetVertPosition(layout_.Rects[size_t(n - 1)].Top - 10);
  // The page asked for stays current even where the scroll range ends before its top.
  currentPage_ = n;
  UpdatePageLabel();
}

void TfrPreviewForm::ZoomMenuClick(int Tag) {
  if (Tag >= 1 && Tag <= 3) {
    zoomMode_ = TfrZoomMode(Tag);
  } else if (Tag > 0) {
    zoomMode_ = zmFactor;
    factor_ = Tag / 100.0;
  } else {
    return;
  }
  checkedZoomTag_ = Tag;
  CheckZoomItem();
  hPos_ = 0;
  Relayout();
  frSetRememberedZoom(zoomMode_, factor_);
}

void TfrPreviewForm::SetZoomMode(TfrZoomMode Mode) {
  zoomMode_ = Mode;
  if (Mode != zmFactor) checkedZoomTag_ = int(Mode);
  CheckZoomItem();
  Relayout();
}

void TfrPreviewForm::PopupZoomMenu(const TPoint &ScreenPos) {
  if (ShowZoomMenu) ShowZoomMenu(ScreenPos);
}

void TfrPreviewForm::DefaultZoomMenu(const TPoint &ScreenPos) {
  CheckZoomItem();
  ProcMenu->Popup(ScreenPos.X, ScreenPos.Y);
}

void TfrPreviewForm::ZoomItemClick(TObject *Sender) {
  if (auto *item = dynamic_cast<TMenuItem *>(Sender)) ZoomMenuClick(item->Tag());
}

void TfrPreviewForm::CheckZoomItem() {
  for (int i = 0; i < ProcMenu->Items()->Count(); ++i) {
    TMenuItem *item = ProcMenu->Items()->Items(i);
    if (!item->IsLine()) item->SetChecked(item->Tag() == checkedZoomTag_);
  }
}

// ---- painting ----

void TfrPreviewForm::PaintPages(TCanvas *Canvas, const TRect &Update) {
  TfrEMFPages *pages = Pages();
  const TRect client = PBox->ClientRect();
  if (!pages || pages->Count() == 0) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(client);
    return;
  }
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(RGB(128, 128, 128));
  Canvas->FillRect(Update);
  for (int i = 0; i < pages->Count(); ++i) {
    TfrPageInfo &info = (*pages)[i];
    TRect r = layout_.Rects[size_t(i)];
    OffsetRect(r, -hPos_, -vPos_);
    // The page with its shadow, wherever it stands in the box.
    TRect withShadow = r;
    withShadow.Right += 2;
    withShadow.Bottom += 2;
    TRect overlap;
    const bool visible =
        IntersectRect(overlap, withShadow, client) && IntersectRect(overlap, withShadow, Update);
    if (!visible) {
      if (info.Visible || info.Page) {
        info.Visible = false;
        pages->Draw(i, Canvas, r); // lets go of the page's objects
      }
      continue;
    }
    Canvas->Brush()->SetColor(clBlack);
    Canvas->FillRect(Rect(r.Right, r.Top + 2, r.Right + 2, r.Bottom + 2));
    Canvas->FillRect(Rect(r.Left + 2, r.Bottom, r.Right + 2, r.Bottom + 2));
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Rectangle(r);
    info.Visible = true;
    pages->Draw(i, Canvas, r);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(RGB(128, 128, 128));
  }
}

// ---- keys ----

void TfrPreviewForm::KeyAction(WORD &Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  // Escape leaves the window (in a panel it belongs to the form the panel stands on).
  if (Key == VK_ESCAPE) {
    if (ButtonShown(ExitBtn)) {
      Key = 0;
      ExitBtnClick(this);
    }
    return;
  }
  if (PageCount() == 0) return;
  bool handled = true;
  switch (Key) {
  case VK_UP: SetVertPosition(vPos_ - SmallChange); break;
  case VK_DOWN: SetVertPosition(vPos_ + SmallChange); break;
  case VK_LEFT: SetHorzPosition(hPos_ - SmallChange); break;
  case VK_RIGHT: SetHorzPosition(hPos_ + SmallChange); break;
  case VK_PRIOR:
    if (ctrl)
      SetPage(CurrentPage() - 1);
    else
      SetVertPosition(vPos_ - LargeChange);
    break;
  case VK_NEXT:
    if (ctrl)
      SetPage(CurrentPage() + 1);
    else
      SetVertPosition(vPos_ + LargeChange);
    break;
  case VK_HOME:
    if (ctrl)
      SetVertPosition(0);
    else
      handled = false;
    break;
  case VK_END:
    if (ctrl)
      SetPage(PageCount());
    else
      handled = false;
    break;
  case VK_SPACE:
    if (ButtonShown(ZoomBtn))
      ZoomBtnClick(this);
    else
      handled = false;
    break;
  case 'O':
    if (ctrl && ButtonShown(LoadBtn))
      LoadBtnClick(this);
    else
      handled = false;
    break;
  case 'S':
    if (ctrl && ButtonShown(SaveBtn))
      SaveBtnClick(this);
    else
      handled = false;
    break;
  case 'P':
    if (ctrl && ButtonShown(PrintBtn) && PrintBtn->Enabled())
      PrintBtnClick(this);
    else
      handled = false;
    break;
  case 'F':
    if (ctrl && ButtonShown(FindBtn))
      FindBtnClick(this);
    else
      handled = false;
    break;
  case VK_F3:
    if (ButtonShown(FindBtn) && !findText_.isEmpty())
      FindNext();
    else
      handled = false;
    break;
  default: handled = false; break;
  }
  if (handled) Key = 0;
}

// ---- buttons ----

void TfrPreviewForm::ZoomBtnClick(TObject *) {
  // In a panel the menu opens at the top left of the pages.
  PopupZoomMenu(embedded_ ? PBox->ClientToScreen({0, 0}) : ZoomBtn->ClientToScreen({0, ZoomBtn->Height()}));
}

void TfrPreviewForm::WebBtnClick(TObject *) { OpenUrl(frWebPageAddress()); }

void TfrPreviewForm::ExitBtnClick(TObject *) {
  if (Modal())
    SetModalResult(mrOk);
  else
    Close();
}

void TfrPreviewForm::LoadBtnClick(TObject *) {
  if (!host_) return;
  TOpenDialog dialog(nullptr);
  dialog.Filter = frtext::ReportFile + QStringLiteral(" (*.frp)|*.frp");
  dialog.DefaultExt = QStringLiteral("frp");
  if (!dialog.Execute()) return;
  host_->LoadPreparedReport(dialog.FileName);
  pagesFromFile_ = true;
  findText_.clear();
  currentPage_ = 1;
  hPos_ = 0;
  Relayout();
}

void TfrPreviewForm::SaveBtnClick(TObject *) {
  if (!host_ || PageCount() == 0) return;
  const QList<TfrPreviewExportFilter> filters = host_->ExportFilters();
  TSaveDialog dialog(nullptr);
  dialog.Filter = frtext::ReportFile + QStringLiteral(" (*.frp)|*.frp");
  for (const TfrPreviewExportFilter &f : filters)
    dialog.Filter += QLatin1Char('|') + f.Description + QLatin1Char('|') + f.Mask;
  dialog.FilterIndex = 1;
  dialog.Options.Include(ofOverwritePrompt);
  if (!dialog.Execute()) return;
  auto withExtension = [](const QString &name, QString mask) {
    const QString ext = mask.remove(QLatin1Char('*'));
    if (ext.isEmpty() || ext == QLatin1String(".")) return name;
    const QFileInfo info(name);
    const QString base = info.suffix().isEmpty() ? name : name.left(name.size() - info.suffix().size() - 1);
    return base + ext;
  };
  if (dialog.FilterIndex <= 1 || dialog.FilterIndex - 2 >= filters.size()) {
    host_->SavePreparedReport(withExtension(dialog.FileName, QStringLiteral("*.frp")));
  } else {
    const int index = dialog.FilterIndex - 2;
    host_->ExportTo(index, withExtension(dialog.FileName, filters[index].Mask));
  }
}

void TfrPreviewForm::PrintBtnClick(TObject *) {
  if (!host_ || PageCount() == 0 || !PrintBtn->Enabled()) return;
  TfrPrintRequest request;
  int oldPrinter = ReportPrinter()->PrinterIndex();
  int newPrinter = oldPrinter;
  if (!RunPrintDialog || !RunPrintDialog(request, oldPrinter, newPrinter)) return;
  if (newPrinter != oldPrinter && host_->CanRebuild() && !pagesFromFile_) {
    if (!host_->ChangePrinter(oldPrinter, newPrinter)) return;
    if (!host_->PrepareReport()) {
      Relayout();
      return;
    }
  }
  // A job on the PDF printer goes where the user says, asked anew for every job.
  TfrPrinter *wrapper = ReportPrinter();
  if (!wrapper->IsVirtual() &&
      !ChoosePdfFileForNextJob(wrapper->PlatformPrinter(), QStringLiteral("Save as PDF"),
                               host_->Settings().Title)) {
    Relayout();
    return;
  }
  host_->PrintPreparedReport(request.PageNumbers, request.Copies);
  Relayout();
}

void TfrPreviewForm::FindBtnClick(TObject *) {
  if (!host_ || PageCount() == 0) return;
  TfrFindRequest request;
  request.Text = findTyped_;
  request.CaseSensitive = findCaseSensitive_;
  if (!RunFindDialog || !RunFindDialog(request) || request.Text.isEmpty()) return;
  findCaseSensitive_ = request.CaseSensitive;
  findTyped_ = request.Text;
  findText_ = request.CaseSensitive ? request.Text : request.Text.toUpper();
  if (request.FromFirstPage) {
    RunFind(0, 0);
  } else {
    // On the page of the last hit the search goes on after it.
    const int page = CurrentPage() - 1;
    RunFind(page, page == findPage_ ? findRecord_ : 0);
  }
}

void TfrPreviewForm::FindNext() {
  if (findText_.isEmpty() || PageCount() == 0) return;
  // Moved away from the last hit: the search starts over at the page shown.
  if (CurrentPage() - 1 != findPage_) {
    findPage_ = CurrentPage() - 1;
    findRecord_ = 0;
  }
  RunFind(findPage_, findRecord_);
}

void TfrPreviewForm::RunFind(int Page, int Record) {
  TfrEMFPages *pages = Pages();
  if (!pages) return;
  const std::optional<TfrSearchHit> hit = frFindText(*pages, Page, Record, findText_, findCaseSensitive_);
  if (!hit) return;
  findPage_ = hit->Page;
  findRecord_ = hit->Record + 1;
  const TfrPageInfo &info = (*pages)[hit->Page];
  const TRect &r = layout_.Rects[size_t(hit->Page)];
  const double kx = info.PrnInfo.Pgw > 0 ? double(r.Width()) / info.PrnInfo.Pgw : layout_.Factor;
  const double ky = info.PrnInfo.Pgh > 0 ? double(r.Height()) / info.PrnInfo.Pgh : layout_.Factor;
  SetHorzPosition(r.Left + int(std::lround(hit->Rect.Left * kx)) - 10);
  SetVertPosition(r.Top + int(std::lround(hit->Rect.Top * ky)) - 10);
  currentPage_ = hit->Page + 1;
  UpdatePageLabel();
}

// ---- embedding ----

void TfrPreviewForm::EmbedPageArea(TWinControl *Parent) {
  embedded_ = Parent != nullptr;
  PageArea->SetParent(Parent ? Parent : this);
  PageArea->SetAlign(alClient);
  Relayout();
}

// ---- the dialogs ----

bool TfrPreviewForm::DefaultFindDialog(TfrFindRequest &Request) { return frRunFindDialog(Request); }

bool TfrPreviewForm::DefaultPrintDialog(TfrPrintRequest &Request, int &OldPrinter, int &NewPrinter) {
  TfrPreviewHost *host = host_.get();
  return frRunPrintDialog(
      CurrentPage(), [host](const QString &pages) { return host ? host->PageListError(pages) : QString(); },
      Request, OldPrinter, NewPrinter);
}
