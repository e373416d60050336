#include "app/about_box.h"
#include "app/form_parts.h"
#include "app/pictures.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/system_services.h"

TAboutBox *AboutBox = nullptr;

namespace {
const QString kNotPublished = QStringLiteral("none published");

// A web site as configured ("www.example.com" or with its scheme) as an address to open.
QString WebAddress(const QString &WebSite) {
  if (WebSite.isEmpty()) return QString();
  return WebSite.contains(QStringLiteral("://")) ? WebSite : QStringLiteral("http://") + WebSite;
}
} // namespace

// ---- TAboutLink ----

TAboutLink::TAboutLink(TComponent *AOwner) : TKNGURLLabel(AOwner) { SetTarget(QString()); }

void TAboutLink::SetTarget(const QString &Address) {
  target_ = Address;
  // Only a label that leads somewhere looks like a link.
  Font()->SetColor(target_.isEmpty() ? clWindowText : clBlue);
  Font()->SetStyle(target_.isEmpty() ? TFontStyles(0) : TFontStyles(fsUnderline));
}

void TAboutLink::WndProc(TMessage &Message) {
  const std::weak_ptr<bool> alive = AliveToken();
  TKNGURLLabel::WndProc(Message);
  if (Message.Msg == CM_MOUSEENTER && IsAlive(alive) && target_.isEmpty()) SetCursor(crDefault);
}

void TAboutLink::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const std::weak_ptr<bool> alive = AliveToken();
  // The label's own mouse handling, without the URL label's opening of the caption.
  TKNGCustomLabel::MouseUp(Button, Shift, X, Y);
  if (IsAlive(alive) && Button == mbLeft && !target_.isEmpty() && PtInRect(ClientRect(), TPoint{X, Y}))
    OpenUrl(target_);
}

// ---- TAboutBox ----

TAboutBox::TAboutBox(TComponent *AOwner) : TForm(AOwner) {
  SetUpDialog(this, QStringLiteral("AboutBox"), QStringLiteral("  About"), 592, 244);
  OnCreate = TNotifyEvent(this, &TAboutBox::FormCreate);

  Panel1 = NewControl<TPanel>(this, QStringLiteral("Panel1"), Bounds(8, 8, 232, 190));
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetCaption(QString());

  ProgramIcon = NewControl<TImage>(this, Panel1, QStringLiteral("ProgramIcon"), Bounds(12, 12, 48, 48));
  ProgramIcon->Picture()->Bitmap()->SetImage(ProgramIconImage());
  NamePicture = NewControl<TImage>(this, Panel1, QStringLiteral("NamePicture"), Bounds(70, 16, 150, 40));
  NamePicture->Picture()->Bitmap()->SetImage(ProgramNameImage());

  ProductName = NewFixedLabel<TAboutLink>(this, Panel1, QStringLiteral("ProductName"),
                                          QStringLiteral("Billsprint Creation"), Rect(12, 76, 220, 96));
  ProductName->Font()->SetSize(10);
  Version = NewLabel(this, Panel1, QStringLiteral("Version"), QStringLiteral("Version 1.1.0"), 12, 102);

  Label1 = NewLabel(this, Panel1, QStringLiteral("Label1"), QStringLiteral("Email :"), 12, 136);
  KNGURLLabel1 = NewFixedLabel<TAboutLink>(this, Panel1, QStringLiteral("KNGURLLabel1"), kNotPublished,
                                           Rect(80, 134, 224, 152));
  Label2 = NewLabel(this, Panel1, QStringLiteral("Label2"), QStringLiteral("Web Site :"), 12, 160);
  KNGURLLabel2 = NewFixedLabel<TAboutLink>(this, Panel1, QStringLiteral("KNGURLLabel2"), kNotPublished,
                                           Rect(80, 158, 224, 176));

  Panel2 = NewControl<TPanel>(this, QStringLiteral("Panel2"), Bounds(248, 8, 336, 228));
  Panel2->SetBevelOuter(bvLowered);
  Panel2->SetCaption(QString());

  OvcLabel1 = NewControl<TOvcLabel>(this, Panel2, QStringLiteral("OvcLabel1"), Bounds(8, 6, 200, 22));
  OvcLabel1->SetColorScheme(csEmbossed);
  OvcLabel1->Font()->SetSize(11);
  OvcLabel1->Font()->SetStyle(fsBold);
  OvcLabel1->SetCaption(QStringLiteral("Quick Help"));

  Memo1 = NewControl<TMemo>(this, Panel2, QStringLiteral("Memo1"), Bounds(6, 32, 324, 190));
  Memo1->SetBorderStyle(bsNone);
  Memo1->SetReadOnly(true);
  Memo1->SetScrollBars(ssVertical);
  Memo1->SetWordWrap(true);
  Memo1->SetText(QuickHelpText());

  OKButton =
      NewButton<TButton>(this, QStringLiteral("OKButton"), QStringLiteral("OK"), Bounds(86, 208, 75, 27));
  OKButton->SetDefault(true);
  OKButton->SetCancel(true);
  OKButton->SetModalResult(mrOk);

  ShowPublisher(QStringLiteral(TALLYROOK_PUBLISHER_WEBSITE), QStringLiteral(TALLYROOK_PUBLISHER_EMAIL));
}

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

void TAboutBox::FormCreate(TObject *) {
  TRect margins = Memo1->ClientRect();
  margins.Left += 4;
  margins.Right -= 4;
  margins.Top += 2;
  margins.Bottom -= 2;
  Memo1->Perform(EM_SETRECT, 0, LPARAM(&margins));
}

void TAboutBox::ShowPublisher(const QString &WebSite, const QString &Email) {
  ProductName->SetTarget(WebAddress(WebSite));
  KNGURLLabel1->SetCaption(Email.isEmpty() ? kNotPublished : Email);
  KNGURLLabel1->SetTarget(Email.isEmpty() ? QString() : QStringLiteral("mailto:") + Email);
  KNGURLLabel2->SetCaption(WebSite.isEmpty() ? kNotPublished : WebSite);
  KNGURLLabel2->SetTarget(WebAddress(WebSite));
}

QString TAboutBox::QuickHelpText() {
  const QString rule(58, QLatin1Char('-'));
  const auto section = [&rule](const QString &Heading, const QStringList &Paragraphs) {
    return Heading + QStringLiteral("\r\n") + rule + QStringLiteral("\r\n") +
           Paragraphs.join(QStringLiteral("\r\n\r\n")) + QStringLiteral("\r\n\r\n");
  };
  QString text;
  text += section(
      QStringLiteral("An Important note regarding invoices:"),
      {QStringLiteral(
           "Invoice numbers run in sequence, and tax authorities do not like gaps in them. When you "
           "click Create Invoice, Tallyrook first asks whether to confirm the invoice, then shows it, "
           "ready to print. Answer No and it is only a preview, marked as no invoice: nothing is "
           "stored and the invoice number is not used up. Answer Yes and the invoice is stored under "
           "the next number before it is shown."),
       QStringLiteral(
           "Practise first with made-up customers and products. When you are ready to start for "
           "real, choose Wipe All and Re-Start from the MENU, then set the number of your first real "
           "invoice in the settings. Starting from a high number such as '10001' is common "
           "practice.")});
  text += section(QStringLiteral("Using Tallyrook:"),
                  {QStringLiteral("An invoice is made in the main window: the customer at the top left, the "
                                  "date, type and tax at the top right, the lines in the middle, and Create "
                                  "Invoice at the bottom.")});
  text +=
      section(QStringLiteral("CUSTOMER DETAILS (top left)"),
              {QStringLiteral(
                  "The customer's name is the only detail you must give; the five address lines are "
                  "optional. Click LIST to pick a stored customer: double-click a name to choose it. The "
                  "list also adds new customers and edits stored ones. Click MANUAL to clear the customer "
                  "and type one in yourself.")});
  text +=
      section(QStringLiteral("GLOBAL DETAILS (top right)"),
              {QStringLiteral(
                  "The invoice date is today's date unless you change it. The invoice type is ITEMS (lines "
                  "with a quantity) or SERVICES (lines without one); changing the type deletes the lines "
                  "already added. The tax percent starts at the default from the settings; you can change "
                  "it for one invoice, and it stays for a \"Same Invoice, New Customer\" follow-up.")});
  text += section(
      QStringLiteral("ADD ITEMS (middle)"),
      {QStringLiteral("Type a description, a quantity (for items) and the item price, then click Add to "
                      "Invoice. A line needs a description; its total is the quantity times the item price. "
                      "Click the LIST beside the description to pick a predefined product or service, and to "
                      "add or edit them.")});
  text +=
      section(QStringLiteral("INVOICE DETAIL (bottom)"),
              {QStringLiteral(
                  "The lines added so far are listed with the net amount, the tax and the gross total. To "
                  "delete a line, select it and right-click it. Create Invoice asks whether to confirm the "
                  "invoice, stores it when you answer Yes, and then shows it for printing; after a stored "
                  "invoice Tallyrook asks what comes next: exit, a new blank invoice, a new invoice for the "
                  "same customer, or the same invoice for a new customer.")});
  text +=
      section(QStringLiteral("PAST INVOICES"),
              {QStringLiteral(
                  "View Past Invoices on the MENU lists the stored invoices, newest first. An invoice can "
                  "be printed again, the list can be limited to one customer picked from the customer "
                  "list, and an invoice can be set to cancelled, which its re-print shows.")});
  text += section(QStringLiteral("WIPE ALL AND RESTART"),
                  {QStringLiteral("Wipe All and Re-Start on the MENU destroys all stored invoices, customers "
                                  "and products. It does not reset the last invoice number, and the settings "
                                  "stay as they are.")});
  text +=
      section(QStringLiteral("CHANGING THE SETTINGS"),
              {QStringLiteral(
                  "Edit Settings on the MENU holds the company details printed at the head of each "
                  "invoice, the next invoice number, the default tax percent and invoice type, a footnote "
                  "of up to 100 characters, and a logo (a bitmap picture). The currency symbol on invoices "
                  "comes from your system's regional settings.")});
  return text;
}
