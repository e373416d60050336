#include "report/ui/preview_search.h"
#include "report/memo_view.h"
#include "report/prepared_pages.h"
#include "report/stream_utils.h"

std::vector<TfrTextRecord> frPageTextRecords(TfrEMFPages &pages, int index) {
  std::vector<TfrTextRecord> records;
  if (index < 0 || index >= pages.Count()) return records;
  TfrPageInfo &info = pages[index];
  if (!info.Stream) return records;
  // Read aside: the page on screen keeps its live objects.
  TfrPage page;
  try {
    frReadPageObjects(info.Stream.get(), &page);
  } catch (const EfrStreamError &) {
    return records; // a damaged page has no text to find
  }
  for (int i = 0; i < page.ObjectCount(); ++i) {
    auto *memo = dynamic_cast<TfrMemoView *>(page.Object(i));
    if (!memo || !memo->Visible) continue;
    memo->Memo1.Assign(&memo->Memo);
    for (const TfrTextLine &line : memo->LayoutLines()) records.push_back({line.Text, memo->DesignRect()});
  }
  return records;
}

std::optional<TfrSearchHit> frFindText(TfrEMFPages &pages, int page, int record, const QString &text,
                                       bool caseSensitive) {
  if (text.isEmpty() || page < 0) return std::nullopt;
  const QString wanted = caseSensitive ? text : text.toUpper();
  for (int p = page; p < pages.Count(); ++p) {
    const std::vector<TfrTextRecord> records = frPageTextRecords(pages, p);
    for (int r = p == page ? std::max(record, 0) : 0; r < int(records.size()); ++r) {
      const QString &line = records[size_t(r)].Text;
      if ((caseSensitive ? line : line.toUpper()).contains(wanted))
        return TfrSearchHit{p, r, records[size_t(r)].Rect};
    }
  }
  return std::nullopt;
}
