// TOvcUserData: the user-defined parts of picture masks, shared by every picture field of the program: the
// characters each of the mask characters "1".."8" accepts, the case change applied to them, and the
// characters the substitution codes 241..248 stand for.
#pragma once
#include <QChar>
#include <array>
#include <bitset>
#include <cstdint>

class TOvcUserData {
public:
  static constexpr int UserSetCount = 8;
  static constexpr int FirstSubstitutionCode = 241;
  using TCharSet = std::bitset<256>;

  // Every set holds the characters 1..255, no case change, and each code stands for itself.
  TOvcUserData();

  // Index 0..7 for mask characters "1".."8".
  const TCharSet &UserCharSet(int Index) const { return charSets_.at(std::size_t(Index)); }
  void SetUserCharSet(int Index, const TCharSet &Value) { charSets_.at(std::size_t(Index)) = Value; }
  // The picture-mask engine's case rule for mask character "1" + Index (0: no change).
  std::uint8_t ForceCase(int Index) const { return forceCase_.at(std::size_t(Index)); }
  void SetForceCase(int Index, std::uint8_t Value) { forceCase_.at(std::size_t(Index)) = Value; }
  // The character substitution code Code (241..248) stands for.
  QChar SubstChar(int Code) const { return substChars_.at(std::size_t(Code - FirstSubstitutionCode)); }
  void SetSubstChar(int Code, QChar Value) {
    substChars_.at(std::size_t(Code - FirstSubstitutionCode)) = Value;
  }

private:
  std::array<TCharSet, UserSetCount> charSets_;
  std::array<std::uint8_t, UserSetCount> forceCase_{};
  std::array<QChar, UserSetCount> substChars_;
};

// The program's one instance, made on first use.
TOvcUserData *OvcUserData();
