// The control library's numbered messages: every user-visible text of the library (errors, table names,
// command names, data-type names, colour names, picture-mask help) is asked for by number. The numbers are
// fixed; the texts are translatable.
#pragma once
#include <QString>
#include <cstdint>
#include <span>

struct SrMsgNumLookupRec {
  std::int32_t Number;
  QString Text;
};

// The whole table, sorted by number ascending.
std::span<const SrMsgNumLookupRec> LibraryMessageTable();

// The text of message Number, or an empty string when there is no such message.
QString FindLibraryMessage(std::int32_t number);
// The same, but "Unknown" when there is no such message.
QString LibraryMessageText(std::int32_t number);

// Numbers of the messages the library's code asks for by name.
namespace msg {
constexpr std::int32_t UnknownError = 30168;
constexpr std::int32_t DuplicateCommand = 30169;
constexpr std::int32_t TableNotFound = 30170;
constexpr std::int32_t RangeError = 30179;    // entry-field error 256
constexpr std::int32_t InvalidNumber = 30180; // 257
constexpr std::int32_t RequiredField = 30181; // 258
constexpr std::int32_t InvalidDate = 30182;   // 259
constexpr std::int32_t InvalidTime = 30183;   // 260
constexpr std::int32_t BlanksInField = 30184; // 261
constexpr std::int32_t PartialEntry = 30185;  // 262
constexpr std::int32_t InvalidParamValue = 30188;
constexpr std::int32_t NoTimersAvail = 30189;
constexpr std::int32_t InvalidDataType = 30194;
constexpr std::int32_t InvalidPictureMask = 30202;
constexpr std::int32_t InvalidIntegerRange = 30203;
constexpr std::int32_t InvalidRealRange = 30204;
constexpr std::int32_t InvalidExtendedRange = 30205;
constexpr std::int32_t InvalidDoubleRange = 30206;
constexpr std::int32_t InvalidSingleRange = 30207;
constexpr std::int32_t InvalidCompRange = 30208;
constexpr std::int32_t InvalidDateRange = 30209;
constexpr std::int32_t InvalidTimeRange = 30210;
constexpr std::int32_t InvalidRangeValue = 30211;
constexpr std::int32_t InvalidColorConstant = 30222;
constexpr std::int32_t InvalidDateForMask = 30227;
constexpr std::int32_t EditModeFailed = 30238;
constexpr std::int32_t LabelNotAttached = 30244;
// Date-edit parse errors (codes) and their texts.
constexpr std::int32_t InvalidDayCode = 30247;
constexpr std::int32_t InvalidMonthCode = 30248;
constexpr std::int32_t InvalidMonthNameCode = 30249;
constexpr std::int32_t InvalidYearCode = 30250;
constexpr std::int32_t DayRequired = 30251;
constexpr std::int32_t MonthRequired = 30252;
constexpr std::int32_t YearRequired = 30253;
constexpr std::int32_t InvalidDay = 30254;
constexpr std::int32_t InvalidMonth = 30255;
constexpr std::int32_t InvalidMonthName = 30256;
constexpr std::int32_t InvalidYear = 30257;
constexpr std::int32_t TableMaxColumns = 30260;
constexpr std::int32_t TooManyColumns = 30262;
constexpr std::int32_t InvalidFieldIndex = 30263;
constexpr std::int32_t InvalidHeaderCell = 30265;
constexpr std::int32_t GridTableName = 30266;
constexpr std::int32_t DefaultTableName = 30275;
constexpr std::int32_t WordStarTableName = 30276;
constexpr std::int32_t UnknownTableName = 30277;
constexpr std::int32_t EntryError = 30278;
constexpr std::int32_t CharSizeSample = 30282; // "Wy": the text measured for a row height
// Captions of an entry field's built-in popup menu.
constexpr std::int32_t MenuRestore = 30285;
constexpr std::int32_t MenuCut = 30286;
constexpr std::int32_t MenuCopy = 30287;
constexpr std::int32_t MenuPaste = 30288;
constexpr std::int32_t MenuDelete = 30289;
constexpr std::int32_t MenuSelectAll = 30290;
// Keywords of relative dates typed into a date edit, in the order they are searched.
constexpr std::int32_t Yesterday = 30317;
constexpr std::int32_t Today = 30318;
constexpr std::int32_t Tomorrow = 30319;
constexpr std::int32_t Next = 30320;
constexpr std::int32_t Last = 30321;
constexpr std::int32_t Prev = 30322;
constexpr std::int32_t First = 30323;
constexpr std::int32_t First2 = 30324; // "1ST"
constexpr std::int32_t Second = 30325;
constexpr std::int32_t Second2 = 30326; // "2ND"
constexpr std::int32_t Third = 30327;
constexpr std::int32_t Third2 = 30328; // "3RD"
constexpr std::int32_t Fourth = 30329;
constexpr std::int32_t Fourth2 = 30330; // "4TH"
constexpr std::int32_t Final = 30331;
constexpr std::int32_t Bom = 30332;
constexpr std::int32_t Begin = 30333;
constexpr std::int32_t Eom = 30334;
constexpr std::int32_t End = 30335;
// Answer letters.
constexpr std::int32_t YesChar = 30368;
constexpr std::int32_t NoChar = 30369;
constexpr std::int32_t TrueChar = 30370;
constexpr std::int32_t FalseChar = 30371;
constexpr std::int32_t Hours = 30372;
constexpr std::int32_t Minutes = 30373;
constexpr std::int32_t Seconds = 30374;
constexpr std::int32_t Close = 30375;
// First numbers of the lists: colour names (22), command names (76), data-type names (16), picture-mask
// character help (24).
constexpr std::int32_t FirstColorName = 30500;
constexpr std::int32_t FirstCommandName = 33768;
constexpr std::int32_t FirstDataTypeName = 34068;
constexpr std::int32_t FirstMaskCharHelp = 34468;
} // namespace msg
