#include "app/invoice_templates.h"
#include "platform/core/streams.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/picture_view.h"
#include "report/report_model.h"
#include "report/value_format.h"

namespace {

// ---- the page: A4 with margins of 15 mm; positions are in report units of the page ----

constexpr int kMargin = 54;
constexpr int kLeft = kMargin;
constexpr int kRight = 752 - kMargin; // A4 is 752 units wide
constexpr int kWidth = kRight - kLeft;

// Columns of the lines table. The services templates have neither quantity nor unit price (the price of a
// service is its amount): their description runs from the left to the amount.
constexpr int kQtyLeft = kLeft;
constexpr int kQtyWidth = 60;
constexpr int kPriceLeft = 450;
constexpr int kAmountLeft = 574;
constexpr int kPriceWidth = kAmountLeft - kPriceLeft;
constexpr int kAmountWidth = kRight - kAmountLeft;
// The labels of the totals end where their amounts begin; an amount has room for a three-letter currency
// and twelve digits.
constexpr int kTotalsLeft = 330;
constexpr int kTotalsAmountLeft = 520;
// Right-aligned figures end a blank short of their cell's edge.
const QString kPad = QStringLiteral(" ");

// Colours (Windows colour values, 0x00BBGGRR).
constexpr TColor kInk = 0x202020;
constexpr TColor kMuted = 0x6E6E6E;
constexpr TColor kAccent = 0x5A3A1F; // a dark blue
constexpr TColor kRule = 0xBFBFBF;
constexpr TColor kShade = 0xF2F2F2;
constexpr TColor kStamp = 0x1C1CC8; // red

// Display formats. A separator of 0 means the user's own decimal separator when the invoice prints.
const qint32 kTextFormat = frFormatCode(fcText, 0, 0, 0);
const qint32 kAmountFormat = frFormatCode(fcNumber, 1, 2, 0);                 // fixed, 2 decimals
const qint32 kQuantityFormat = frFormatCode(fcNumber, frCustomVariant, 0, 0); // "0.##"
const qint32 kDateFormat = frFormatCode(fcDate, frCustomVariant, 0, 0);       // "ddddd", the short date

// What differs between the four templates.
struct TemplateKind {
  bool items;     // with the quantity column
  bool reprint;   // a stored invoice: MINV1/MINV2 and the cancelled stamp
  QString header; // the dataset of the invoice's header
  QString lines;  // the record source of the lines
  QString number; // the expression of the invoice number
};

TemplateKind KindOf(int number) {
  switch (number) {
  case itNewItems:
  case itNewServices:
    return {number == itNewItems, false, QStringLiteral("DD.INV1"), QStringLiteral("DD.frINV2"),
            QStringLiteral("SINV")};
  case itReprintItems:
  case itReprintServices:
    return {number == itReprintItems, true, QStringLiteral("DD.MINV1"), QStringLiteral("DD.frMINV2"),
            QStringLiteral("DD.MINV1.InvNUM")};
  default: throw ERangeError(QStringLiteral("There is no invoice template %1").arg(number));
  }
}

// Places the objects of one template page.
class PageAuthor {
public:
  explicit PageAuthor(TfrPage *page) : page_(page) {}

  TfrBandView *Band(const QString &name, int type, int top, int height, int flags,
                    const QString &source = QString()) {
    auto band = std::make_unique<TfrBandView>();
    Place(band.get(), name, 0, top, kRight, height);
    band->SetBandType(type);
    band->Flags = quint16(flags);
    band->FormatStr = source;
    return static_cast<TfrBandView *>(page_->Add(std::move(band)));
  }

  // A text object of fixed size (neither stretched nor wrapped unless asked), in Arial.
  TfrMemoView *Text(const QString &name, int left, int top, int width, int height, const QStringList &lines,
                    int points, TFontStyles style = 0, TColor color = kInk, int adjust = frtaLeft) {
    auto memo = std::make_unique<TfrMemoView>();
    Place(memo.get(), name, left, top, width, height);
    memo->Flags = 0;
    memo->FrameTyp = 0;
    memo->Format = kTextFormat;
    memo->Font.SetName(QStringLiteral("Arial"));
    memo->Font.SetSize(points);
    memo->Font.SetStyle(style);
    memo->Font.SetColor(color);
    memo->Adjust = adjust;
    for (const QString &line : lines) memo->Memo.Add(line);
    return static_cast<TfrMemoView *>(page_->Add(std::move(memo)));
  }

  TfrLineView *Rule(const QString &name, int left, int top, int width, float frameWidth, TColor color) {
    auto line = std::make_unique<TfrLineView>();
    Place(line.get(), name, left, top, width, 0);
    line->FrameWidth = frameWidth;
    line->FrameColor = color;
    return static_cast<TfrLineView *>(page_->Add(std::move(line)));
  }

  TfrPictureView *Picture(const QString &name, int left, int top, int width, int height,
                          const QString &memo) {
    auto picture = std::make_unique<TfrPictureView>();
    Place(picture.get(), name, left, top, width, height);
    picture->Flags = flStretched | flPictRatio; // scaled into its box, keeping its proportions
    picture->FrameTyp = 0;
    picture->Memo.Add(memo);
    return static_cast<TfrPictureView *>(page_->Add(std::move(picture)));
  }

private:
  static void Place(TfrView *view, const QString &name, int left, int top, int width, int height) {
    view->Name = name;
    view->Left = left;
    view->Top = top;
    view->Width = width;
    view->Height = height;
    // Objects take the system's decimal separator into their format when they are made: the template
    // must not depend on the machine that builds it.
    view->Format = kTextFormat;
  }

  TfrPage *page_;
};

QString Field(const QString &dataSet, const char *field) {
  return QLatin1Char('[') + dataSet + QLatin1Char('.') + QLatin1String(field) + QLatin1Char(']');
}

QString Control(const char *field) { return Field(QStringLiteral("DD.CONTROL"), field); }

// ---- bands, from the top of the design page down; each object lies inside its band ----

constexpr int kTitleTop = kMargin, kTitleHeight = 262;
constexpr int kPageHeaderTop = 330, kPageHeaderHeight = 30;
constexpr int kColumnsTop = 370, kColumnsHeight = 24;
constexpr int kLineTop = 400, kLineHeight = 20;
constexpr int kTotalsTop = 430, kTotalsHeight = 84;
constexpr int kNotesTop = 524, kNotesHeight = 30;
constexpr int kFooterTop = 564, kFooterHeight = 40;

// The letterhead, the invoice's title block and the customer: once, on the first page.
void AuthorTitle(PageAuthor &a, const TemplateKind &kind) {
  // Stretched: a long name or address wraps and pushes what lies below it down.
  a.Band(QStringLiteral("Letterhead"), btReportTitle, kTitleTop, kTitleHeight,
         flStretched | flBandOnFirstPage | flBandOnLastPage);
  const int top = kTitleTop;
  a.Picture(QStringLiteral("Logo"), kLeft, top, 190, 84, QStringLiteral("[LOGO]"));

  const int contactLeft = 300, contactWidth = kRight - contactLeft;
  a.Text(QStringLiteral("CompanyName"), contactLeft, top, contactWidth, 22, {Control("COMPANY")}, 14, fsBold,
         kAccent, frtaRight)
      ->Flags = flStretched | flWordWrap;
  // The address (which may hold line breaks or wrap) and the contact lines flow as one text under the name;
  // a contact detail left empty in the settings leaves out its label too.
  // A detail with its lead-in (a label, the blanks after the detail before it), or nothing when it is empty;
  // right-aligned text shows trailing blanks, so a gap goes before the detail it separates.
  const auto detail = [](const char *leadIn, const char *field) {
    return QStringLiteral("[IF(DD.CONTROL.%2 = '', '', '%1' + DD.CONTROL.%2)]")
        .arg(QLatin1String(leadIn), QLatin1String(field));
  };
  TfrMemoView *details = a.Text(QStringLiteral("CompanyDetails"), contactLeft, top + 24, contactWidth, 78,
                                {Control("ADDRESS"), detail("Phone ", "PHONE") + detail("    Fax ", "FAX"),
                                 Control("EMAIL"), Control("WEBSITE")},
                                9, 0, kMuted, frtaRight);
  details->Flags = flStretched | flWordWrap;
  a.Rule(QStringLiteral("LetterheadRule"), kLeft, top + 108, kWidth, 1.5f, kAccent);

  // The customer, on the left.
  const int billTop = top + 124;
  a.Text(QStringLiteral("BillToLabel"), kLeft, billTop, 300, 14, {QStringLiteral("BILL TO")}, 8, fsBold,
         kMuted);
  a.Text(QStringLiteral("CustomerName"), kLeft, billTop + 16, 340, 18, {Field(kind.header, "CUSTOMER")}, 11,
         fsBold)
      ->Flags = flStretched | flWordWrap;
  a.Text(QStringLiteral("CustomerAddress"), kLeft, billTop + 36, 340, 78,
         {Field(kind.header, "ADDR1"), Field(kind.header, "ADDR2"), Field(kind.header, "ADDR3"),
          Field(kind.header, "ADDR4"), Field(kind.header, "ADDR5")},
         9)
      ->Flags = flStretched | flWordWrap;

  // The title block, on the right.
  const int blockLeft = 430, labelWidth = 150, valueLeft = blockLeft + labelWidth;
  a.Text(QStringLiteral("InvoiceTitle"), blockLeft, billTop - 6, kRight - blockLeft, 36,
         {QStringLiteral("INVOICE")}, 22, fsBold, kAccent, frtaRight);
  a.Text(QStringLiteral("NumberLabel"), blockLeft, billTop + 36, labelWidth, 16,
         {QStringLiteral("Invoice number")}, 9, 0, kMuted, frtaRight);
  a.Text(QStringLiteral("InvoiceNumber"), valueLeft, billTop + 36, kRight - valueLeft, 16,
         {QLatin1Char('[') + kind.number + QLatin1Char(']')}, 9, fsBold, kInk, frtaRight);
  a.Text(QStringLiteral("DateLabel"), blockLeft, billTop + 54, labelWidth, 16, {QStringLiteral("Date")}, 9, 0,
         kMuted, frtaRight);
  TfrMemoView *date = a.Text(QStringLiteral("InvoiceDate"), valueLeft, billTop + 54, kRight - valueLeft, 16,
                             {Field(kind.header, "InvDATE")}, 9, fsBold, kInk, frtaRight);
  date->Format = kDateFormat;
  date->FormatStr = QStringLiteral("ddddd");
  if (kind.reprint)
    a.Text(QStringLiteral("CancelledStamp"), blockLeft, billTop + 80, kRight - blockLeft, 28,
           {QStringLiteral("[CANCINV]")}, 18, fsBold, kStamp, frtaRight);
  else
    a.Text(QStringLiteral("PreviewStamp"), blockLeft, billTop + 80, kRight - blockLeft, 28,
           {QStringLiteral("[PREVIEWMARK]")}, 12, fsBold, kStamp, frtaRight);
}

// A short reminder of whose invoice a following page belongs to: on every page but the first.
void AuthorPageHeader(PageAuthor &a, const TemplateKind &kind) {
  a.Band(QStringLiteral("ContinuationHeader"), btPageHeader, kPageHeaderTop, kPageHeaderHeight,
         flStretched | flBandOnLastPage);
  TfrMemoView *text =
      a.Text(QStringLiteral("ContinuationText"), kLeft, kPageHeaderTop, kWidth, 20,
             {QStringLiteral("%1    Invoice %2 (continued)")
                  .arg(Control("COMPANY"), QLatin1Char('[') + kind.number + QLatin1Char(']'))},
             8, 0, kMuted);
  text->Flags = flStretched | flWordWrap;
  text->FrameTyp = frbBottom;
  text->FrameColor = kRule;
}

// The column headings, repeated at the top of every page the lines run onto.
void AuthorColumnHeadings(PageAuthor &a, const TemplateKind &kind) {
  a.Band(QStringLiteral("ColumnHeadings"), btMasterHeader, kColumnsTop, kColumnsHeight,
         flBandOnFirstPage | flBandOnLastPage | flBandRepeatHeader);
  const auto heading = [&a](const QString &name, int left, int width, const QString &text, int align) {
    TfrMemoView *memo =
        a.Text(name, left, kColumnsTop, width, kColumnsHeight, {text}, 9, fsBold, kInk, align | frtaMiddle);
    memo->FillColor = kShade;
    memo->FrameTyp = frbBottom;
    memo->FrameColor = kMuted;
  };
  const int descriptionLeft = kind.items ? kQtyLeft + kQtyWidth : kLeft;
  if (kind.items)
    heading(QStringLiteral("QuantityHeading"), kQtyLeft, kQtyWidth, QStringLiteral("Qty"), frtaCenter);
  const int descriptionRight = kind.items ? kPriceLeft : kAmountLeft;
  heading(QStringLiteral("DescriptionHeading"), descriptionLeft, descriptionRight - descriptionLeft,
          QStringLiteral("Description"), frtaLeft);
  if (kind.items)
    heading(QStringLiteral("PriceHeading"), kPriceLeft, kPriceWidth, QStringLiteral("Unit price") + kPad,
            frtaRight);
  heading(QStringLiteral("AmountHeading"), kAmountLeft, kAmountWidth, QStringLiteral("Amount") + kPad,
          frtaRight);
}

// One line of the invoice. The description wraps and the row grows with it, every cell to the same height,
// the texts centred in it.
void AuthorLine(PageAuthor &a, const TemplateKind &kind) {
  a.Band(QStringLiteral("InvoiceLine"), btMasterData, kLineTop, kLineHeight,
         flStretched | flBandOnFirstPage | flBandOnLastPage, kind.lines);
  const auto cell = [&a](const QString &name, int left, int width, const QString &text, int align) {
    TfrMemoView *memo =
        a.Text(name, left, kLineTop, width, kLineHeight, {text}, 9, 0, kInk, align | frtaMiddle);
    memo->Flags = flStretched | flWordWrap;
    memo->FrameTyp = frbBottom;
    memo->FrameColor = kRule;
    return memo;
  };
  const int descriptionLeft = kind.items ? kQtyLeft + kQtyWidth : kLeft;
  if (kind.items) {
    TfrMemoView *quantity =
        cell(QStringLiteral("Quantity"), kQtyLeft, kQtyWidth, QStringLiteral("[QUANTITY]"), frtaCenter);
    quantity->Format = kQuantityFormat;
    quantity->FormatStr = QStringLiteral("0.##");
  }
  const int descriptionRight = kind.items ? kPriceLeft : kAmountLeft;
  cell(QStringLiteral("Description"), descriptionLeft, descriptionRight - descriptionLeft,
       QStringLiteral("[DESCRIPTION]"), frtaLeft);
  if (kind.items)
    cell(QStringLiteral("ItemPrice"), kPriceLeft, kPriceWidth, QStringLiteral("[ITEMPRICE]") + kPad,
         frtaRight)
        ->Format = kAmountFormat;
  cell(QStringLiteral("ItemTotal"), kAmountLeft, kAmountWidth, QStringLiteral("[ITEMTOTAL]") + kPad,
       frtaRight)
      ->Format = kAmountFormat;
}

// Net, tax and gross after the last line, each with the currency symbol before it (a text under a number
// format prints as it is).
void AuthorTotals(PageAuthor &a, const TemplateKind &kind) {
  a.Band(QStringLiteral("Totals"), btMasterFooter, kTotalsTop, kTotalsHeight,
         flBandOnFirstPage | flBandOnLastPage);
  const struct {
    const char *name;
    const char *label;
    const char *field;
    bool grand;
  } rows[] = {{"Net", "Net amount", "NET", false},
              {"Tax", "Tax", "TAX", false},
              {"Gross", "Total due", "GROSS", true}};
  int top = kTotalsTop + 8;
  for (const auto &row : rows) {
    const int height = row.grand ? 24 : 18;
    const int points = row.grand ? 10 : 9;
    const TFontStyles style = row.grand ? fsBold : 0;
    const QString name = QString::fromLatin1(row.name);
    TfrMemoView *label = a.Text(name + QLatin1String("Label"), kTotalsLeft, top,
                                kTotalsAmountLeft - kTotalsLeft, height, {QString::fromLatin1(row.label)},
                                points, style, row.grand ? kInk : kMuted, frtaRight | frtaMiddle);
    TfrMemoView *amount =
        a.Text(name + QLatin1String("Amount"), kTotalsAmountLeft, top, kRight - kTotalsAmountLeft, height,
               {QStringLiteral("[CURRSYM] ") + Field(kind.header, row.field) + kPad}, points, style, kInk,
               frtaRight | frtaMiddle);
    amount->Format = kAmountFormat;
    if (row.grand) {
      label->FillColor = kShade;
      amount->FillColor = kShade;
      for (TfrMemoView *memo : {label, amount}) {
        memo->FrameTyp = frbTop;
        memo->FrameWidth = 1.5f;
        memo->FrameColor = kAccent;
      }
    }
    top += height + 2;
  }
}

// The footnote, once, under the totals: it wraps and the band grows with it.
void AuthorNotes(PageAuthor &a) {
  a.Band(QStringLiteral("Notes"), btReportSummary, kNotesTop, kNotesHeight,
         flStretched | flBandOnFirstPage | flBandOnLastPage);
  a.Text(QStringLiteral("FootNote"), kLeft, kNotesTop + 10, kWidth, 16, {Control("FootNote")}, 9, fsItalic,
         kInk, frtaCenter)
      ->Flags = flStretched | flWordWrap;
}

// The company and the page count at the foot of every page. The foot cannot grow, so the company's name
// (at most 50 characters) has room for two lines.
void AuthorFooter(PageAuthor &a) {
  a.Band(QStringLiteral("PageFoot"), btPageFooter, kFooterTop, kFooterHeight,
         flBandOnFirstPage | flBandOnLastPage);
  a.Rule(QStringLiteral("FooterRule"), kLeft, kFooterTop + 4, kWidth, 1, kRule);
  constexpr int pageNumberWidth = 90;
  a.Text(QStringLiteral("FooterCompany"), kLeft, kFooterTop + 8, kWidth - pageNumberWidth, 30,
         {Control("COMPANY")}, 8, 0, kMuted)
      ->Flags = flWordWrap;
  a.Text(QStringLiteral("PageNumber"), kRight - pageNumberWidth, kFooterTop + 8, pageNumberWidth, 16,
         {QStringLiteral("Page [PAGE#] of [TOTALPAGES]")}, 8, 0, kMuted, frtaRight);
}

} // namespace

void BuildInvoiceTemplate(int Number, TfrReportModel &Model) {
  const TemplateKind kind = KindOf(Number);
  Model.Clear();
  // Invoices print on the printer the user chooses, never on one named in the template; two passes give the
  // page count for "Page n of m".
  Model.PrintToDefault = true;
  Model.DoublePass = true;
  // The logo is a picture field: a value bound to CONTROL.LOGO gives the picture object its BLOB.
  TfrValue &logo = Model.Values[Model.Values.AddValue(QStringLiteral("LOGO"))];
  logo.Typ = 1;
  logo.DataSet = QStringLiteral("DD.CONTROL");
  logo.Field = QStringLiteral("LOGO");

  TfrPage *page = Model.Pages.Add();
  page->UseMargins = true;
  page->pgMargins = Rect(kMargin, kMargin, kMargin, kMargin);
  PageAuthor author(page);
  AuthorTitle(author, kind);
  AuthorPageHeader(author, kind);
  AuthorColumnHeadings(author, kind);
  AuthorLine(author, kind);
  AuthorTotals(author, kind);
  AuthorNotes(author);
  AuthorFooter(author);
}

QByteArray InvoiceTemplateStream(int Number) {
  TfrReportModel model;
  BuildInvoiceTemplate(Number, model);
  TMemoryStream stream;
  model.SaveToStream(&stream);
  return stream.Bytes();
}

QList<TShippedReport> InvoiceTemplates() {
  const struct {
    int number;
    const char *fileName;
    const char *description;
  } rows[] = {
      {itNewItems, "INVOICE_ITEMS.frf", "Invoice (items)"},
      {itNewServices, "INVOICE_SERVICES.frf", "Invoice (services)"},
      {itReprintItems, "REPRINT_ITEMS.frf", "Invoice re-print (items)"},
      {itReprintServices, "REPRINT_SERVICES.frf", "Invoice re-print (services)"},
  };
  QList<TShippedReport> reports;
  for (const auto &row : rows)
    reports.append({row.number, QString::fromLatin1(row.fileName), QString::fromLatin1(row.description),
                    InvoiceTemplateStream(row.number)});
  return reports;
}
