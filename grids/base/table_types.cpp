#include "grids/base/table_types.h"
#include "controls/framework/library_messages.h"

void RaiseTableError(std::int32_t MessageNumber) { throw EDuvizivTable(LibraryMessageText(MessageNumber)); }
