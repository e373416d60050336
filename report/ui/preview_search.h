// Finding text in prepared pages. A page's text is read from its prepared objects: each output line of each
// text object, in page order, is one record with a running number. A search goes from a page and a record
// number onwards, page by page, and stops at the first record whose text contains the search text.
#pragma once
#include "platform/core/types.h"
#include <QString>
#include <optional>
#include <vector>

class TfrEMFPages;

struct TfrTextRecord {
  QString Text;
  TRect Rect; // the text object's rectangle, in the page's report units
};

struct TfrSearchHit {
  int Page = 0;   // 0-based
  int Record = 0; // the record's number on its page
  TRect Rect;
};

// The text records of a prepared page (none for a damaged page).
std::vector<TfrTextRecord> frPageTextRecords(TfrEMFPages &pages, int index);

// Searches from record `record` of page `page` onwards; later pages are searched from record 0. Without
// caseSensitive both the records and `text` are compared upper-cased. Nothing when no record holds the text
// (or the text is empty).
std::optional<TfrSearchHit> frFindText(TfrEMFPages &pages, int page, int record, const QString &text,
                                       bool caseSensitive);
