#include "controls/framework/stock_key_tables.h"
#include "controls/framework/library_messages.h"
#include "platform/windowing/virtual_keys.h"

namespace {

constexpr std::uint8_t kCtrlShift = ss_Ctrl | ss_Shift;

constexpr TOvcKeyCommandRec One(std::uint8_t key, std::uint8_t shift, TOvcCommandCode cmd) {
  return TOvcKeyCommandRec{key, shift, 0, ss_None, cmd};
}

// A WordStar sequence: Ctrl+First, then Second with no shift key or with Ctrl.
constexpr TOvcKeyCommandRec Two(char first, char second, TOvcCommandCode cmd) {
  return TOvcKeyCommandRec{std::uint8_t(first), ss_Ctrl, std::uint8_t(second), ss_Wild, cmd};
}

constexpr TOvcKeyCommandRec Ctrl(char key, TOvcCommandCode cmd) {
  return One(std::uint8_t(key), ss_Ctrl, cmd);
}

constexpr TOvcCommandCode Marker(TOvcCommandCode first, int n) { return TOvcCommandCode(first + n); }

constexpr TOvcKeyCommandRec kDefault[] = {
    One(VK_LEFT, ss_None, ccLeft),
    One(VK_RIGHT, ss_None, ccRight),
    One(VK_LEFT, ss_Ctrl, ccWordLeft),
    One(VK_RIGHT, ss_Ctrl, ccWordRight),
    One(VK_HOME, ss_None, ccHome),
    One(VK_END, ss_None, ccEnd),
    One(VK_DELETE, ss_None, ccDel),
    One(VK_BACK, ss_None, ccBack),
    One(VK_BACK, ss_Shift, ccBack),
    One(VK_PRIOR, ss_Ctrl, ccTopOfPage),
    One(VK_NEXT, ss_Ctrl, ccBotOfPage),
    One(VK_INSERT, ss_None, ccIns),
    Ctrl('Z', ccUndo),
    One(VK_BACK, ss_Alt, ccRestore),
    One(VK_UP, ss_None, ccUp),
    One(VK_DOWN, ss_None, ccDown),
    One(VK_RETURN, ss_Ctrl, ccNewLine),
    One(VK_LEFT, ss_Shift, ccExtendLeft),
    One(VK_RIGHT, ss_Shift, ccExtendRight),
    One(VK_HOME, ss_Shift, ccExtendHome),
    One(VK_END, ss_Shift, ccExtendEnd),
    One(VK_LEFT, kCtrlShift, ccExtWordLeft),
    One(VK_RIGHT, kCtrlShift, ccExtWordRight),
    One(VK_PRIOR, ss_Shift, ccExtendPgUp),
    One(VK_NEXT, ss_Shift, ccExtendPgDn),
    One(VK_UP, ss_Shift, ccExtendUp),
    One(VK_DOWN, ss_Shift, ccExtendDown),
    One(VK_HOME, kCtrlShift, ccExtFirstPage),
    One(VK_END, kCtrlShift, ccExtLastPage),
    One(VK_PRIOR, kCtrlShift, ccExtTopOfPage),
    One(VK_NEXT, kCtrlShift, ccExtBotOfPage),
    One(VK_DELETE, ss_Shift, ccCut),
    Ctrl('X', ccCut),
    One(VK_INSERT, ss_Ctrl, ccCopy),
    Ctrl('C', ccCopy),
    One(VK_INSERT, ss_Shift, ccPaste),
    Ctrl('V', ccPaste),
    One(VK_PRIOR, ss_None, ccPrevPage),
    One(VK_NEXT, ss_None, ccNextPage),
    One(VK_HOME, ss_Ctrl, ccFirstPage),
    One(VK_END, ss_Ctrl, ccLastPage),
    One(VK_TAB, ss_None, ccTab),
    One(VK_TAB, ss_Ctrl, ccTab),
    One('Z', kCtrlShift, ccRedo),
    Ctrl('0', Marker(ccGotoMarker0, 0)),
    Ctrl('1', Marker(ccGotoMarker0, 1)),
    Ctrl('2', Marker(ccGotoMarker0, 2)),
    Ctrl('3', Marker(ccGotoMarker0, 3)),
    Ctrl('4', Marker(ccGotoMarker0, 4)),
    Ctrl('5', Marker(ccGotoMarker0, 5)),
    Ctrl('6', Marker(ccGotoMarker0, 6)),
    Ctrl('7', Marker(ccGotoMarker0, 7)),
    Ctrl('8', Marker(ccGotoMarker0, 8)),
    Ctrl('9', Marker(ccGotoMarker0, 9)),
    One('0', kCtrlShift, Marker(ccSetMarker0, 0)),
    One('1', kCtrlShift, Marker(ccSetMarker0, 1)),
    One('2', kCtrlShift, Marker(ccSetMarker0, 2)),
    One('3', kCtrlShift, Marker(ccSetMarker0, 3)),
    One('4', kCtrlShift, Marker(ccSetMarker0, 4)),
    One('5', kCtrlShift, Marker(ccSetMarker0, 5)),
    One('6', kCtrlShift, Marker(ccSetMarker0, 6)),
    One('7', kCtrlShift, Marker(ccSetMarker0, 7)),
    One('8', kCtrlShift, Marker(ccSetMarker0, 8)),
    One('9', kCtrlShift, Marker(ccSetMarker0, 9)),
};

constexpr TOvcKeyCommandRec kWordStar[] = {
    Ctrl('S', ccLeft),
    Ctrl('D', ccRight),
    Ctrl('E', ccUp),
    Ctrl('X', ccDown),
    Ctrl('R', ccPrevPage),
    Ctrl('C', ccNextPage),
    Ctrl('W', ccScrollUp),
    Ctrl('Z', ccScrollDown),
    Ctrl('A', ccWordLeft),
    Ctrl('F', ccWordRight),
    Two('Q', 'S', ccHome),
    Two('Q', 'D', ccEnd),
    Ctrl('G', ccDel),
    Ctrl('H', ccBack),
    Ctrl('Y', ccDelLine),
    Two('Q', 'Y', ccDelEol),
    Ctrl('V', ccIns),
    Ctrl('T', ccDelWord),
    Ctrl('P', ccCtrlChar),
    Two('Q', 'L', ccRestore),
    Two('Q', '0', Marker(ccGotoMarker0, 0)),
    Two('Q', '1', Marker(ccGotoMarker0, 1)),
    Two('Q', '2', Marker(ccGotoMarker0, 2)),
    Two('Q', '3', Marker(ccGotoMarker0, 3)),
    Two('Q', '4', Marker(ccGotoMarker0, 4)),
    Two('Q', '5', Marker(ccGotoMarker0, 5)),
    Two('Q', '6', Marker(ccGotoMarker0, 6)),
    Two('Q', '7', Marker(ccGotoMarker0, 7)),
    Two('Q', '8', Marker(ccGotoMarker0, 8)),
    Two('Q', '9', Marker(ccGotoMarker0, 9)),
    Two('K', '0', Marker(ccSetMarker0, 0)),
    Two('K', '1', Marker(ccSetMarker0, 1)),
    Two('K', '2', Marker(ccSetMarker0, 2)),
    Two('K', '3', Marker(ccSetMarker0, 3)),
    Two('K', '4', Marker(ccSetMarker0, 4)),
    Two('K', '5', Marker(ccSetMarker0, 5)),
    Two('K', '6', Marker(ccSetMarker0, 6)),
    Two('K', '7', Marker(ccSetMarker0, 7)),
    Two('K', '8', Marker(ccSetMarker0, 8)),
    Two('K', '9', Marker(ccSetMarker0, 9)),
};

constexpr TOvcKeyCommandRec kGrid[] = {
    One(VK_LEFT, ss_None, ccLeft),
    One(VK_RIGHT, ss_None, ccRight),
    One(VK_LEFT, ss_Ctrl, ccPageLeft),
    One(VK_RIGHT, ss_Ctrl, ccPageRight),
    One(VK_HOME, ss_None, ccHome),
    One(VK_END, ss_None, ccEnd),
    One(VK_DELETE, ss_None, ccDel),
    One(VK_BACK, ss_None, ccBack),
    One(VK_NEXT, ss_Ctrl, ccBotOfPage),
    One(VK_PRIOR, ss_Ctrl, ccTopOfPage),
    One(VK_INSERT, ss_None, ccIns),
    Ctrl('Z', ccRestore),
    One(VK_UP, ss_None, ccUp),
    One(VK_DOWN, ss_None, ccDown),
    One(VK_LEFT, ss_Shift, ccExtendLeft),
    One(VK_RIGHT, ss_Shift, ccExtendRight),
    One(VK_HOME, ss_Shift, ccExtendHome),
    One(VK_END, ss_Shift, ccExtendEnd),
    One(VK_LEFT, kCtrlShift, ccExtWordLeft),
    One(VK_RIGHT, kCtrlShift, ccExtWordRight),
    One(VK_PRIOR, ss_Shift, ccExtendPgUp),
    One(VK_NEXT, ss_Shift, ccExtendPgDn),
    One(VK_UP, ss_Shift, ccExtendUp),
    One(VK_DOWN, ss_Shift, ccExtendDown),
    One(VK_HOME, kCtrlShift, ccExtFirstPage),
    One(VK_END, kCtrlShift, ccExtLastPage),
    One(VK_PRIOR, kCtrlShift, ccExtTopOfPage),
    One(VK_NEXT, kCtrlShift, ccExtBotOfPage),
    Ctrl('X', ccCut),
    Ctrl('C', ccCopy),
    Ctrl('V', ccPaste),
    One(VK_PRIOR, ss_None, ccPrevPage),
    One(VK_HOME, ss_Ctrl, ccFirstPage),
    One(VK_NEXT, ss_None, ccNextPage),
    One(VK_END, ss_Ctrl, ccLastPage),
    One(VK_UP, ss_Ctrl, ccTopLeftCell),
    One(VK_DOWN, ss_Ctrl, ccBotRightCell),
    One(VK_F2, ss_None, ccTableEdit),
};

static_assert(std::size(kDefault) == 64);
static_assert(std::size(kWordStar) == 40);
static_assert(std::size(kGrid) == 38);

} // namespace

std::span<const TOvcKeyCommandRec> StockKeyTableRecords(TStockKeyTable table) {
  switch (table) {
  case TStockKeyTable::Default: return kDefault;
  case TStockKeyTable::WordStar: return kWordStar;
  case TStockKeyTable::Grid: return kGrid;
  }
  return {};
}

QString StockKeyTableName(TStockKeyTable table) {
  switch (table) {
  case TStockKeyTable::Default: return LibraryMessageText(msg::DefaultTableName);
  case TStockKeyTable::WordStar: return LibraryMessageText(msg::WordStarTableName);
  case TStockKeyTable::Grid: return LibraryMessageText(msg::GridTableName);
  }
  return {};
}

std::optional<TStockKeyTable> FindStockKeyTable(const QString &name) {
  for (TStockKeyTable table : {TStockKeyTable::Default, TStockKeyTable::WordStar, TStockKeyTable::Grid})
    if (StockKeyTableName(table).compare(name, Qt::CaseInsensitive) == 0) return table;
  return std::nullopt;
}
