#include "db/storage/ff_data_dictionary.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kFormatVersion = 1;

bool ValidBlockSize(int size) { return size == 4096 || size == 8192 || size == 16384 || size == 32768; }

QString FileTypeName(TffFileType type) {
  switch (type) {
  case ftIndexFile: return QStringLiteral("index");
  case ftBLOBFile: return QStringLiteral("blob");
  default: return QStringLiteral("base");
  }
}

std::optional<TffFileType> FileTypeFromName(const QString &name) {
  if (name == u"base") return ftBaseFile;
  if (name == u"index") return ftIndexFile;
  if (name == u"blob") return ftBLOBFile;
  return std::nullopt;
}

} // namespace

TffDataDictionary::TffDataDictionary(int aBlockSize) : blockSize_(aBlockSize) {
  if (!ValidBlockSize(aBlockSize)) ffRaiseStorageError(fferrBadBlockSize, {aBlockSize});
  files_.append(TffFileDescriptor{0, QString::fromLatin1(DataFileDescription),
                                  QString::fromLatin1(DefaultExtension), aBlockSize, ftBaseFile});
  indexes_.append(TffIndexDescriptor{
      0, QString::fromLatin1(SequentialIndexName), QString::fromLatin1(SequentialIndexName), 0, {}, true});
}

void TffDataDictionary::CheckWritable() const {
  if (readOnly_) ffRaiseStorageError(fferrDictReadOnly, {baseName_});
}

void TffDataDictionary::CheckName(const QString &name) const {
  if (name.trimmed().isEmpty()) ffRaiseStorageError(fferrBadName, {baseName_});
}

void TffDataDictionary::SetIsEncrypted(bool aValue) {
  CheckWritable();
  encrypted_ = aValue;
}

TffFileDescriptor &TffDataDictionary::GetFileDesc(int aFileNumber) {
  if (aFileNumber < 0 || aFileNumber >= FileCount())
    ffRaiseStorageError(fferrBadFieldNumber, {baseName_, aFileNumber});
  return files_[aFileNumber];
}

const TffFileDescriptor &TffDataDictionary::GetFileDesc(int aFileNumber) const {
  return const_cast<TffDataDictionary *>(this)->GetFileDesc(aFileNumber);
}

void TffDataDictionary::AddField(const QString &aName, const QString &aDescription, TffFieldType aFieldType,
                                 int aUnits, int aDecPl, bool aRequired, std::nullptr_t) {
  CheckWritable();
  CheckName(aName);
  if (GetFieldFromName(aName) >= 0) ffRaiseStorageError(fferrDupFieldName, {baseName_, aName});
  TffFieldDescriptor field;
  field.fdNumber = FieldCount();
  field.fdName = aName;
  field.fdDesc = aDescription;
  field.fdType = aFieldType;
  field.fdUnits = aUnits;
  field.fdDecPl = aDecPl;
  field.fdOffset = LogicalRecordLength();
  field.fdLength = ffFieldLength(aFieldType, aUnits);
  field.fdRequired = aRequired;
  fields_.append(field);
}

const TffFieldDescriptor &TffDataDictionary::FieldDescriptor(int aField) const {
  if (aField < 0 || aField >= FieldCount()) ffRaiseStorageError(fferrBadFieldNumber, {baseName_, aField});
  return fields_[aField];
}

int TffDataDictionary::GetFieldFromName(const QString &aName) const {
  for (const TffFieldDescriptor &field : fields_)
    if (field.fdName.compare(aName, Qt::CaseInsensitive) == 0) return field.fdNumber;
  return -1;
}

int TffDataDictionary::LogicalRecordLength() const {
  int length = 0;
  for (const TffFieldDescriptor &field : fields_) length += field.fdLength;
  return length;
}

int TffDataDictionary::RecordLength() const { return LogicalRecordLength() + (FieldCount() + 7) / 8; }

void TffDataDictionary::AddIndex(const QString &aIndexName, const QString &aDesc, int aFileNumber,
                                 const QList<TffIndexField> &aFields, bool aAllowDups) {
  CheckWritable();
  CheckName(aIndexName);
  if (GetIndexFromName(aIndexName) >= 0) ffRaiseStorageError(fferrDupIndexName, {baseName_, aIndexName});
  if (aFields.isEmpty()) ffRaiseStorageError(fferrIndexNoFields, {baseName_, aIndexName});
  if (aFileNumber < 0 || aFileNumber >= FileCount())
    ffRaiseStorageError(fferrBadFieldNumber, {baseName_, aFileNumber});
  for (const TffIndexField &field : aFields)
    if (field.FieldNumber < 0 || field.FieldNumber >= FieldCount())
      ffRaiseStorageError(fferrBadFieldNumber, {baseName_, field.FieldNumber});
  indexes_.append(TffIndexDescriptor{IndexCount(), aIndexName, aDesc, aFileNumber, aFields, aAllowDups});
}

void TffDataDictionary::AddIndex(const QString &aIndexName, const QString &aDesc, int aFileNumber,
                                 const QString &aFieldNames, bool aDescending, bool aCaseInsensitive,
                                 bool aAllowDups) {
  CheckWritable();
  QList<TffIndexField> fields;
  for (const QString &part : aFieldNames.split(u';', Qt::SkipEmptyParts)) {
    const QString name = part.trimmed();
    const int number = GetFieldFromName(name);
    if (number < 0) ffRaiseStorageError(fferrNoSuchFieldName, {baseName_, name});
    fields.append(TffIndexField{number, aDescending, aCaseInsensitive});
  }
  AddIndex(aIndexName, aDesc, aFileNumber, fields, aAllowDups);
}

const TffIndexDescriptor &TffDataDictionary::IndexDescriptor(int aIndex) const {
  if (aIndex < 0 || aIndex >= IndexCount()) ffRaiseStorageError(fferrBadFieldNumber, {baseName_, aIndex});
  return indexes_[aIndex];
}

int TffDataDictionary::GetIndexFromName(const QString &aName) const {
  for (const TffIndexDescriptor &index : indexes_)
    if (index.idName.compare(aName, Qt::CaseInsensitive) == 0) return index.idNumber;
  return -1;
}

QByteArray TffDataDictionary::WriteToBytes() const {
  QJsonArray files;
  for (const TffFileDescriptor &file : files_)
    files.append(QJsonObject{{"number", file.fdNumber},
                             {"description", file.fdDesc.left(255)},
                             {"extension", file.fdExtension.left(3)},
                             {"blockSize", file.fdBlockSize},
                             {"type", FileTypeName(file.fdType)}});
  QJsonArray fields;
  for (const TffFieldDescriptor &field : fields_)
    fields.append(QJsonObject{{"name", field.fdName},
                              {"description", field.fdDesc},
                              {"type", ffFieldTypeName(field.fdType)},
                              {"units", field.fdUnits},
                              {"decimals", field.fdDecPl},
                              {"required", field.fdRequired}});
  QJsonArray indexes;
  for (const TffIndexDescriptor &index : indexes_) {
    if (index.idNumber == 0) continue; // always there
    QJsonArray keyFields;
    for (const TffIndexField &field : index.idFields)
      keyFields.append(QJsonObject{{"field", fields_[field.FieldNumber].fdName},
                                   {"descending", field.Descending},
                                   {"caseInsensitive", field.CaseInsensitive}});
    indexes.append(QJsonObject{{"name", index.idName},
                               {"description", index.idDesc},
                               {"file", index.idFile},
                               {"fields", keyFields},
                               {"unique", !index.idDups}});
  }
  const QJsonObject root{{"format", kFormatVersion}, {"blockSize", blockSize_}, {"encrypted", encrypted_},
                         {"files", files},           {"fields", fields},        {"indexes", indexes}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

TffDataDictionary TffDataDictionary::ReadFromBytes(const QByteArray &bytes, const QString &baseName) {
  const auto damaged = [&]() { ffRaiseStorageError(fferrDictCorrupt, {baseName}); };
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
  if (parseError.error != QJsonParseError::NoError || !document.isObject()) damaged();
  const QJsonObject root = document.object();
  if (root.value("format").toInt() != kFormatVersion) damaged();
  const int blockSize = root.value("blockSize").toInt();
  if (!ValidBlockSize(blockSize)) damaged();

  try {
    TffDataDictionary dictionary(blockSize);
    dictionary.baseName_ = baseName;
    dictionary.encrypted_ = root.value("encrypted").toBool();

    const QJsonArray files = root.value("files").toArray();
    if (files.isEmpty()) damaged();
    dictionary.files_.clear();
    for (const QJsonValue &value : files) {
      const QJsonObject file = value.toObject();
      const auto type = FileTypeFromName(file.value("type").toString());
      if (!type) damaged();
      dictionary.files_.append(
          TffFileDescriptor{int(dictionary.files_.size()), file.value("description").toString(),
                            file.value("extension").toString(), file.value("blockSize").toInt(), *type});
    }

    for (const QJsonValue &value : root.value("fields").toArray()) {
      const QJsonObject field = value.toObject();
      const auto type = ffFieldTypeFromName(field.value("type").toString());
      if (!type) damaged();
      dictionary.AddField(field.value("name").toString(), field.value("description").toString(), *type,
                          field.value("units").toInt(), field.value("decimals").toInt(),
                          field.value("required").toBool());
    }

    for (const QJsonValue &value : root.value("indexes").toArray()) {
      const QJsonObject index = value.toObject();
      QList<TffIndexField> keyFields;
      for (const QJsonValue &keyValue : index.value("fields").toArray()) {
        const QJsonObject key = keyValue.toObject();
        const int number = dictionary.GetFieldFromName(key.value("field").toString());
        if (number < 0) damaged();
        keyFields.append(
            TffIndexField{number, key.value("descending").toBool(), key.value("caseInsensitive").toBool()});
      }
      dictionary.AddIndex(index.value("name").toString(), index.value("description").toString(),
                          index.value("file").toInt(), keyFields, !index.value("unique").toBool());
    }
    return dictionary;
  } catch (const EffException &e) {
    if (e.ErrorCode() == fferrDictCorrupt) throw;
    damaged();
  }
  Q_UNREACHABLE();
}
