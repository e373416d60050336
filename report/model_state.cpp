#include "report/model_state.h"

TfrModelState &frModel() {
  static TfrModelState state;
  return state;
}

QString frBandName(int bandType) {
  static const char *const names[frBandTypeCount] = {"Report title",     "Report summary",
                                                     "Page header",      "Page footer",
                                                     "Master header",    "Master data",
                                                     "Master footer",    "Detail header",
                                                     "Detail data",      "Detail footer",
                                                     "Subdetail header", "Subdetail data",
                                                     "Subdetail footer", "Overlay",
                                                     "Column header",    "Column footer",
                                                     "Group header",     "Group footer",
                                                     "Cross header",     "Cross data",
                                                     "Cross footer",     "None"};
  if (bandType < 0 || bandType >= frBandTypeCount) return QString();
  return QString::fromLatin1(names[bandType]);
}
