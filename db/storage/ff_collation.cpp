#include "db/storage/ff_collation.h"
#include <algorithm>
#include <climits>
#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/uversion.h>

namespace {

constexpr char kLevelSeparator = 0x01;
// Above the separator and below every byte a level holds.
constexpr char kAfterLevel = 0x02;

} // namespace

TffCollation::TffCollation(const QString &localeName) {
  const QString name = localeName == QLatin1String("C") ? QString() : localeName;
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(name.toLatin1().constData(), &status);
  if (U_FAILURE(status)) {
    error_ = QStringLiteral("The sorting rules of the locale \"%1\" cannot be loaded: %2")
                 .arg(localeName, QString::fromLatin1(u_errorName(status)));
    if (collator_) ucol_close(collator_);
    collator_ = nullptr;
    return;
  }
  // Letters and accents count, the case of letters does not.
  ucol_setStrength(collator_, UCOL_SECONDARY);
  status = U_ZERO_ERROR;
  const char *actual = ucol_getLocaleByType(collator_, ULOC_ACTUAL_LOCALE, &status);
  UVersionInfo version;
  ucol_getVersion(collator_, version);
  char versionText[U_MAX_VERSION_STRING_LENGTH] = {};
  u_versionToString(version, versionText);
  const QString rules =
      U_SUCCESS(status) && actual && *actual ? QString::fromLatin1(actual) : QStringLiteral("root");
  identity_ = rules + u' ' + QString::fromLatin1(versionText);
}

TffCollation::~TffCollation() {
  if (collator_) ucol_close(collator_);
}

QByteArray TffCollation::Key(const QString &text) const {
  QByteArray key;
  Key(text.constData(), text.size(), key);
  return key;
}

void TffCollation::Key(const QChar *text, qsizetype length, QByteArray &key) const {
  static_assert(sizeof(UChar) == sizeof(QChar));
  const auto *source = reinterpret_cast<const UChar *>(text);
  const int32_t sourceLength = int32_t(std::min<qsizetype>(length, INT32_MAX));
  // Most keys take a little more than two bytes a character: one call with room for that.
  key.resize(std::max<qsizetype>(32, 3 * length + 8));
  int32_t size = ucol_getSortKey(collator_, source, sourceLength, reinterpret_cast<uint8_t *>(key.data()),
                                 int32_t(key.size()));
  if (size > key.size()) {
    key.resize(size);
    size = ucol_getSortKey(collator_, source, sourceLength, reinterpret_cast<uint8_t *>(key.data()), size);
  }
  // The terminating zero adds nothing to the order.
  key.resize(size > 0 ? size - 1 : 0);
}

QByteArray TffCollation::LowerBound(const QByteArray &key) {
  const qsizetype letters = key.indexOf(kLevelSeparator);
  // A shorter key sorts before every key it begins.
  return letters < 0 ? key : key.left(letters);
}

QByteArray TffCollation::UpperBound(const QByteArray &key) { return LowerBound(key) + kAfterLevel; }
