#include "grids/ovc_table_types.h"
#include "controls/library_messages.h"

void RaiseTableError(std::int32_t MessageNumber) { throw EDuvizivTable(LibraryMessageText(MessageNumber)); }
