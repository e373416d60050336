// The SQL by which a cursor walks a table in the order of one of its indexes. Records are ordered by the
// index fields (each in its own direction, nulls before values as SQLite sorts them) and then by row id,
// so records with equal keys come in the order they were added. Reading on from a record uses keyset
// conditions rather than offsets: the records after a key form a few runs, each selected by equality on a
// prefix of the key and a comparison on the next field, which the SQLite index answers by seeking. A range
// limits the records to those whose leading key fields lie between two keys.
//
// A case-insensitive text field is compared through its key column, which holds collation keys
// (ff_collation.h). A key given to search or to limit a range matches such a field at the letters' level:
// its text stands for every text with the same letters, between a least and a greatest collation key.
//
// Values reach the SQL through numbered parameters laid out alike for every statement of a cursor
// (TffSlots): a condition depends only on which values are null, never on the values, so a cursor can keep
// the SQL it made and bind new values to it.
#pragma once
#include "db/storage/ff_data_dictionary.h"
#include <QList>
#include <QString>
#include <QVariant>

// One field of an index key as SQL sees it.
struct TffKeySegment {
  int Field = 0;
  QString Expression; // the quoted column, or the key column of a case-insensitive string field
  bool Descending = false;
  bool NoCase = false; // the segment's key values are collation keys
};

// An index as SQL sees it; the sequential index has no segments and no SQLite index.
struct TffIndexSchema {
  QString Name;
  QString SqlName;
  QList<TffKeySegment> Segments;

  bool Sequential() const { return Segments.isEmpty(); }
};

// The stored values of leading index fields, as a search or a range gives them, or as a record holds them.
// For a case-insensitive text of a search or a range, Low holds the least and High the greatest collation
// key of the texts it matches; otherwise High holds the same values as Low.
struct TffKey {
  QList<QVariant> Low;
  QList<QVariant> High;

  // A record's key, which matches itself only.
  static TffKey Exact(const QList<QVariant> &values) { return {values, values}; }
  qsizetype size() const { return Low.size(); }
  bool isEmpty() const { return Low.isEmpty(); }
};

// The parameter numbers of a cursor's statements: the LIMIT; the key of a position and its row id; the
// start and end keys of the range; a key having two parameters for each index field, its low and its high
// value.
class TffSlots {
public:
  enum Key { Position, Start, End };
  explicit TffSlots(const TffIndexSchema &index) : fields_(int(index.Segments.size())) {}
  static constexpr int Limit = 1;
  int Of(Key key, int field) const { return 2 + int(key) * (fields_ + 1) + field; }
  int HighOf(Key key, int field) const { return 2 + 3 * (fields_ + 1) + int(key) * fields_ + field; }
  int RowId() const { return 2 + fields_; }
  int Count() const { return 1 + 3 * (fields_ + 1) + 3 * fields_; }
  // The values of every parameter, null where none is given.
  QList<QVariant> Values(int limit, const TffKey &position, const QVariant &rowId, const TffKey &start,
                         const TffKey &end) const;

private:
  int fields_;
};

// A condition. One that joins others by AND tells which index segments it holds to null and which to a
// value (bit i for segment i), so that a run asking both is known to be empty.
struct TffSqlPart {
  QString Sql;
  quint64 NullSegments = 0;
  quint64 ValueSegments = 0;
};

enum class TffScan { Forward, Backward };

// A range on leading key fields, in stored values: records whose key is at or after Start and at or before
// End in index order (without the records matching the bound itself when it is not inclusive). An empty
// bound is open.
struct TffKeyRange {
  TffKey Start;
  bool StartInclusive = true;
  TffKey End;
  bool EndInclusive = true;
};

// The condition of a range (always true for no range).
TffSqlPart ffRangeCondition(const TffIndexSchema &index, const TffKeyRange &range);

// The number of leading index fields on which both bounds of the range agree: the range holds each of them
// to one value.
int ffRangeFixedSegments(const TffIndexSchema &index, const TffKeyRange &range);

// The runs of records that follow a position in scan order, each as a condition; reading them one after
// another gives the records in order. The position is a key of the leading fields, bound to the Position
// slots; with a row id it is a record (its exact key then of every field) and the runs start after it;
// without, they start at the first record whose leading fields come at or after the searched key
// (inclusive) or after it. The first `fixedSegments` fields are known not to change (a range holds them to
// the key's values), so no run steps past them.
QList<TffSqlPart> ffSeekRuns(const TffIndexSchema &index, TffScan scan, const TffKey &key, bool inclusive,
                             bool withRowId, int fixedSegments = 0);

// How the reads of a cursor in one scan direction keep within a range, each run a condition without OR so
// that SQLite seeks through the index for it instead of gathering and sorting the whole range.
struct TffRangeReads {
  QList<TffSqlPart> FromEdge; // the whole range as consecutive runs in scan order
  QList<TffSqlPart> Ahead;    // the records up to the bound ahead, as consecutive runs in scan order
  TffSqlPart Behind;          // the bound behind, checked on each record found but never sought on
};
TffRangeReads ffRangeReads(const TffIndexSchema &index, const TffKeyRange &range, TffScan scan);

// The records in both of two lists of consecutive runs, as consecutive runs in the same order; runs that
// are empty for holding a segment both null and to a value are left out.
QList<TffSqlPart> ffIntersectRuns(const QList<TffSqlPart> &a, const QList<TffSqlPart> &b);

// The ORDER BY list of an index in a scan direction.
QString ffOrderBy(const TffIndexSchema &index, TffScan scan);

// Whether two key values of a segment, as the index holds them, are equal (a null only to a null).
bool ffKeyValuesEqual(const QVariant &a, const QVariant &b);
