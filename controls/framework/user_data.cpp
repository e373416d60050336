#include "controls/framework/user_data.h"

TOvcUserData::TOvcUserData() {
  TCharSet all;
  all.set();
  all.reset(0);
  charSets_.fill(all);
  for (int i = 0; i < UserSetCount; ++i) substChars_[std::size_t(i)] = QChar(FirstSubstitutionCode + i);
}

TOvcUserData *OvcUserData() {
  static TOvcUserData instance;
  return &instance;
}
