// TffDataDictionary: the definition of a table (block size, files, fields, indexes) from which the engine
// builds it, and which it keeps beside the table so that types, sizes and index names survive reopening.
//
// A new definition already holds file 0 (the data and dictionary file) and index 0 (the sequential index:
// records in the order they were added). Once the engine has built a table, the definitions it hands out
// are read-only: every change then raises error 328. Errors are raised as EffException with the storage
// error codes of ff_exceptions.h.
#pragma once
#include "db/storage/ff_exceptions.h"
#include "db/storage/ff_field_types.h"
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>

enum TffFileType { ftBaseFile, ftIndexFile, ftBLOBFile };

struct TffFileDescriptor {
  int fdNumber = 0;
  QString fdDesc;      // a short string: at most 255 characters are kept
  QString fdExtension; // at most 3 characters are kept
  int fdBlockSize = 0;
  TffFileType fdType = ftBaseFile;
};

struct TffFieldDescriptor {
  int fdNumber = 0;
  QString fdName;
  QString fdDesc;
  TffFieldType fdType = fftBoolean;
  int fdUnits = 0;
  int fdDecPl = 0;
  int fdOffset = 0; // offset in the logical record
  int fdLength = 0; // stored length, by type (ffFieldLength)
  bool fdRequired = false;
};

// One field of an index key, with its own direction and case treatment (case applies to strings only).
struct TffIndexField {
  int FieldNumber = 0;
  bool Descending = false;
  bool CaseInsensitive = false;
};

struct TffIndexDescriptor {
  int idNumber = 0;
  QString idName;
  QString idDesc;
  int idFile = 0;
  QList<TffIndexField> idFields; // empty for index 0, the sequential index
  bool idDups = true;            // false: no two records may have the same key
};

class TffDataDictionary {
public:
  static constexpr const char *SequentialIndexName = "Sequential Access Index";
  static constexpr const char *DataFileDescription = "Data/DataDict File";
  static constexpr const char *DefaultExtension = "FF2";

  // aBlockSize must be 4096, 8192, 16384 or 32768 (else error 339).
  explicit TffDataDictionary(int aBlockSize);

  // The table the definition belongs to, named in error texts; empty for a definition being built.
  const QString &BaseName() const { return baseName_; }
  void SetBaseName(const QString &name) { baseName_ = name; }

  int BlockSize() const { return blockSize_; }
  bool IsEncrypted() const { return encrypted_; }
  void SetIsEncrypted(bool aValue);

  bool IsReadOnly() const { return readOnly_; }
  // Makes the definition read-only for good (the engine does so for the definition of a built table).
  void SetReadOnly() { readOnly_ = true; }

  // Files.
  int FileCount() const { return int(files_.size()); }
  // The descriptor of file aFileNumber, which the caller may change in place (error 320 when out of range).
  TffFileDescriptor &GetFileDesc(int aFileNumber);
  const TffFileDescriptor &GetFileDesc(int aFileNumber) const;

  // Fields.
  // Appends a field; its length follows from the type and units. aValCheck is the validity check, which
  // this engine does not keep: pass nullptr. Errors 328 (read-only), 341 (duplicate name, compared
  // without regard to case) and 344 (empty name).
  void AddField(const QString &aName, const QString &aDescription, TffFieldType aFieldType, int aUnits,
                int aDecPl, bool aRequired, std::nullptr_t aValCheck = nullptr);
  int FieldCount() const { return int(fields_.size()); }
  const TffFieldDescriptor &FieldDescriptor(int aField) const; // error 320 when out of range
  const QString &FieldName(int aField) const { return FieldDescriptor(aField).fdName; }
  TffFieldType FieldType(int aField) const { return FieldDescriptor(aField).fdType; }
  int FieldLength(int aField) const { return FieldDescriptor(aField).fdLength; }
  int FieldUnits(int aField) const { return FieldDescriptor(aField).fdUnits; }
  int FieldDecPl(int aField) const { return FieldDescriptor(aField).fdDecPl; }
  bool FieldRequired(int aField) const { return FieldDescriptor(aField).fdRequired; }
  // The number of the field with that name (case ignored), -1 when there is none.
  int GetFieldFromName(const QString &aName) const;
  // The sum of the field lengths, and that plus the null flags (a bit per field) of a stored record.
  int LogicalRecordLength() const;
  int RecordLength() const;

  // Indexes.
  // Appends an index on the given fields of the given file. Errors 328, 342 (duplicate index name), 345
  // (no fields), 344 (empty name) and 320 (a field or file number out of range).
  void AddIndex(const QString &aIndexName, const QString &aDesc, int aFileNumber,
                const QList<TffIndexField> &aFields, bool aAllowDups = true);
  // The same with the fields named in one text separated by ";" ("CUSTNO;InvNUM"), every field with the
  // same direction and case treatment; an unknown field name raises error 343.
  void AddIndex(const QString &aIndexName, const QString &aDesc, int aFileNumber, const QString &aFieldNames,
                bool aDescending, bool aCaseInsensitive, bool aAllowDups = true);
  int IndexCount() const { return int(indexes_.size()); }
  const TffIndexDescriptor &IndexDescriptor(int aIndex) const; // error 320 when out of range
  const QString &IndexName(int aIndex) const { return IndexDescriptor(aIndex).idName; }
  // The number of the index with that name (case ignored), -1 when there is none.
  int GetIndexFromName(const QString &aName) const;

  // The stored form: UTF-8 JSON whose text depends only on the definition (keys sorted, lists in order).
  // The read-only flag and the base name are not part of it.
  QByteArray WriteToBytes() const;
  // Reads a stored form back; a damaged one raises error 346.
  static TffDataDictionary ReadFromBytes(const QByteArray &bytes, const QString &baseName = QString());

private:
  void CheckWritable() const;
  void CheckName(const QString &name) const;

  QString baseName_;
  int blockSize_;
  bool encrypted_ = false;
  bool readOnly_ = false;
  QList<TffFileDescriptor> files_;
  QList<TffFieldDescriptor> fields_;
  QList<TffIndexDescriptor> indexes_;
};
