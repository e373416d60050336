// The three key tables built into every command processor: "Default" for single-key editing, "WordStar" for
// control-key sequences with two-key prefixes, "Grid" for table navigation. Their names are library messages.
#pragma once
#include "controls/framework/command_table.h"
#include <optional>
#include <span>

enum class TStockKeyTable { Default, WordStar, Grid };

std::span<const TOvcKeyCommandRec> StockKeyTableRecords(TStockKeyTable table);
QString StockKeyTableName(TStockKeyTable table);
// The stock table whose name equals Name, ignoring case.
std::optional<TStockKeyTable> FindStockKeyTable(const QString &name);
