#include "platform/graphics/font_substitution.h"
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <array>

namespace {

struct Substitution {
  const char *name;
  std::array<const char *, 3> families; // in order of preference; the first installed one is used
};

// Keys are lower-case Windows names.
const std::array kSubstitutions = {
    Substitution{"arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    Substitution{"helvetica", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    Substitution{"arial narrow", {"Liberation Sans Narrow", "Liberation Sans", "DejaVu Sans Condensed"}},
    Substitution{"times new roman", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
    Substitution{"times", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
    Substitution{"ms serif", {"Liberation Serif", "DejaVu Serif", nullptr}},
    Substitution{"courier new", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
    Substitution{"courier", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
    Substitution{"lucida console", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
    Substitution{"consolas", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
    // The narrow user-interface fonts are closest in width to Arial's twin; Verdana is wide, like DejaVu
    // Sans.
    Substitution{"ms sans serif", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"microsoft sans serif", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"tahoma", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"segoe ui", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"ms shell dlg", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"ms shell dlg 2", {"Liberation Sans", "DejaVu Sans", nullptr}},
    Substitution{"verdana", {"DejaVu Sans", "Liberation Sans", nullptr}},
    Substitution{"georgia", {"DejaVu Serif", "Liberation Serif", nullptr}},
};

const std::array<const char *, 3> kSansFallback = {"Liberation Sans", "DejaVu Sans", "Arimo"};
const std::array<const char *, 3> kMonoFallback = {"Liberation Mono", "DejaVu Sans Mono", "Cousine"};

bool Installed(const QString &family) { return QFontDatabase::hasFamily(family); }

QString FirstInstalled(const std::array<const char *, 3> &families) {
  for (const char *family : families)
    if (family && Installed(QString::fromLatin1(family))) return QString::fromLatin1(family);
  return QString();
}

// Letters a family lacks are drawn from these, in this order: DejaVu (symbols and further alphabets), then a
// font for Chinese, Japanese and Korean whose character map gives each ideograph a glyph of its own, so
// that the text a PDF holds reads back as the text that was typed (some CJK fonts share one glyph between
// an ideograph and its radical, and a PDF then says the radical).
const std::array<const char *, 2> kSansFallbacks = {"DejaVu Sans", "Droid Sans Fallback"};
const std::array<const char *, 2> kSerifFallbacks = {"DejaVu Serif", "Droid Sans Fallback"};
const std::array<const char *, 2> kMonoFallbacks = {"DejaVu Sans Mono", "Droid Sans Fallback"};

void InstallFallbacks(const QString &family, bool fixedPitch) {
  const bool serif = family.contains(QLatin1String("Serif")) || family == QLatin1String("Tinos");
  const auto &fallbacks = fixedPitch ? kMonoFallbacks : serif ? kSerifFallbacks : kSansFallbacks;
  QStringList installed;
  for (const char *fallback : fallbacks) {
    const QString name = QString::fromLatin1(fallback);
    if (name != family && Installed(name)) installed << name;
  }
  if (!installed.isEmpty() && QFont::substitutes(family) != installed)
    QFont::insertSubstitutions(family, installed);
}

QString Resolve(const QString &name, bool fixedPitch) {
  const QString key = name.trimmed().toLower();
  for (const auto &s : kSubstitutions)
    if (key == QLatin1String(s.name)) {
      const QString found = FirstInstalled(s.families);
      if (!found.isEmpty()) return found;
      break;
    }
  if (!key.isEmpty() && Installed(name.trimmed())) return name.trimmed();
  const QString fallback = FirstInstalled(fixedPitch ? kMonoFallback : kSansFallback);
  // With none of our fonts installed, the font system's own matching is the best there is.
  return fallback.isEmpty() ? name : fallback;
}

} // namespace

QString SubstituteFontFamily(const QString &name, bool fixedPitch) {
  static QMutex mutex;
  static QHash<QString, QString> cache;
  const QString key = (fixedPitch ? QStringLiteral("1") : QStringLiteral("0")) + name;
  QMutexLocker lock(&mutex);
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return *it;
  const QString family = Resolve(name, fixedPitch);
  InstallFallbacks(family, fixedPitch);
  cache.insert(key, family);
  return family;
}
