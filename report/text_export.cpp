#include "report/text_export.h"
#include "platform/core/streams.h"
#include "report/font_style.h"
#include "report/memo_view.h"
#include "report/view.h"

namespace {
// The page's line slots to begin with; more are made when a page reaches further down.
constexpr int InitialLines = 201;
} // namespace

TfrTextExportFilter::TfrTextExportFilter(TStream *Stream) : TfrExportFilter(Stream) {}

void TfrTextExportFilter::OnBeginPage() {
  ClearLines();
  Lines.resize(InitialLines);
}

void TfrTextExportFilter::OnText(int X, int Y, const QString &Text, TfrView *View) {
  if (!View) return;
  const int line = std::max(0, frRound(Y / frTextLineHeight));
  if (line >= int(Lines.size())) Lines.resize(size_t(line) + 1);
  TfrTextRec item;
  item.X = X;
  item.Text = Text;
  if (auto memo = dynamic_cast<const TfrMemoView *>(View)) {
    item.FromMemo = true;
    item.FontName = memo->Font.Name();
    item.FontSize = memo->Font.Size();
    item.FontStyle = FontStyleToBits(memo->Font.Style());
    item.FontColor = memo->Font.Color();
    item.FontCharset = memo->Font.Charset();
  }
  item.FillColor = View->FillColor;
  std::vector<TfrTextRec> &items = Lines[size_t(line)];
  auto at = std::find_if(items.begin(), items.end(), [X](const TfrTextRec &r) { return r.X >= X; });
  items.insert(at, std::move(item));
}

void TfrTextExportFilter::OnEndPage() {
  int last = int(Lines.size()) - 1;
  while (last >= 0 && Lines[size_t(last)].empty()) --last;
  QByteArray page;
  for (int i = 0; i <= last; ++i) {
    QString text;
    int position = 0;
    for (const TfrTextRec &item : Lines[size_t(i)]) {
      const int column = frRound(item.X / frTextColumnWidth);
      if (column > position) text += QString(column - position, QLatin1Char(' '));
      text += item.Text;
      position = std::max(column, position) + int(item.Text.size());
    }
    page += text.toUtf8();
    page += "\r\n";
  }
  page += "\x0c\r\n";
  Stream->WriteBytes(page);
}

void frRegisterTextExport() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  frRegisterExportFilter([](TStream *Stream) { return std::make_unique<TfrTextExportFilter>(Stream); },
                         QStringLiteral("ASCII Text file (*.txt)"), QStringLiteral("*.txt"));
}
