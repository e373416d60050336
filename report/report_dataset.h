// TfrDataset: the base of the record sources that a report's data bands walk. It counts records from 0 and
// ends after RangeEndCount records when RangeEnd is reCount, or when its OnCheckEOF handler says so.
// TfrUserDataset is the source an application places when its data does not come from a dataset: its events
// move through the application's own data.
#pragma once
#include "platform/core/component.h"
#include "platform/core/events.h"
#include <QByteArray>

class TDataSet;

enum TRangeBegin { rbFirst, rbCurrent };
enum TRangeEnd { reLast, reCurrent, reCount };

// Asks whether the source is at its end; the handler may change Eof either way.
using TCheckEOFEvent = TEvent<void(TObject *Sender, bool &Eof)>;

class TfrDataset : public TComponent {
public:
  explicit TfrDataset(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrDataset"); }

  // Prepare and release the source around a band's run (nothing in the base).
  virtual void Init();
  virtual void Done();
  // Record number 0, then OnFirst.
  virtual void First();
  // Record number + 1, then OnNext.
  virtual void Next();
  // With reCount, true once RangeEndCount records have been passed; then OnCheckEOF may change the answer.
  virtual bool Eof();
  // The platform dataset whose records the source walks; nothing in the base.
  virtual TDataSet *RecordDataSet() const { return nullptr; }

  TRangeBegin RangeBegin() const { return rangeBegin_; }
  void SetRangeBegin(TRangeBegin Value) { rangeBegin_ = Value; }
  TRangeEnd RangeEnd() const { return rangeEnd_; }
  void SetRangeEnd(TRangeEnd Value) { rangeEnd_ = Value; }
  int RangeEndCount() const { return rangeEndCount_; }
  void SetRangeEndCount(int Value) { rangeEndCount_ = Value; }
  // The number of the current record, from 0.
  int RecNo() const { return recNo_; }

  const TNotifyEvent &OnFirst() const { return onFirst_; }
  void SetOnFirst(const TNotifyEvent &Value) { onFirst_ = Value; }
  const TNotifyEvent &OnNext() const { return onNext_; }
  void SetOnNext(const TNotifyEvent &Value) { onNext_ = Value; }
  const TCheckEOFEvent &OnCheckEOF() const { return onCheckEOF_; }
  void SetOnCheckEOF(const TCheckEOFEvent &Value) { onCheckEOF_ = Value; }

protected:
  int recNo_ = 0;

private:
  TRangeBegin rangeBegin_ = rbFirst;
  TRangeEnd rangeEnd_ = reLast;
  int rangeEndCount_ = 0;
  TNotifyEvent onFirst_;
  TNotifyEvent onNext_;
  TCheckEOFEvent onCheckEOF_;
};

class TfrUserDataset : public TfrDataset {
public:
  using TfrDataset::TfrDataset;
  QString ClassName() const override { return QStringLiteral("TfrUserDataset"); }
};

// ---- Helpers the band engine uses on the platform's datasets; each is safe on nothing, a closed or an empty
// dataset (no record: an empty bookmark). ----
class TField;
using TBookmark = QByteArray;

// Whether the field holds a BLOB (blob, memo, graphic, formatted memo, the two OLE kinds, typed binary).
bool frIsBlob(const TField *Field);
// The bookmark of the current record; empty when there is none.
TBookmark frGetBookmark(const TDataSet *DataSet);
// Makes the bookmarked record current; an empty bookmark or a closed dataset does nothing.
void frGotoBookmark(TDataSet *DataSet, const TBookmark &Bookmark);
void frFreeBookmark(TDataSet *DataSet, TBookmark &Bookmark);
// Whether two bookmarks denote the same record.
bool frIsBookmarksEqual(const TDataSet *DataSet, const TBookmark &Bookmark1, const TBookmark &Bookmark2);
