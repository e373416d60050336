// Font names in forms and report templates are Windows font names ("Arial", "MS Sans Serif"). They are drawn
// with installed fonts of the same metrics where such exist (the Liberation fonts are metric twins of Arial,
// Times New Roman and Courier New), so that text takes the same room as it was laid out for.
#pragma once
#include <QString>

// The installed family that draws the font named `name`. A name with no known twin is kept when the family is
// installed; otherwise a proportional sans-serif family stands in (a fixed-pitch one when `fixedPitch`).
// Letters the family lacks (other alphabets, Chinese, Japanese, Korean) are drawn from installed fallback
// fonts chosen so that printed PDF files embed them and read back as the text typed.
QString SubstituteFontFamily(const QString &name, bool fixedPitch = false);
