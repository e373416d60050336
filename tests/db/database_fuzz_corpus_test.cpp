// Runs the database fuzz target's corpus through its entry (tests/fuzz/database_fuzz_entry.h) in the normal
// build.
#include "tests/fuzz/database_fuzz_entry.h"
#include "tests/fuzz/fuzz_corpus.h"

TEST(DatabaseFuzzCorpus, EveryInputRunsWithoutFault) { fuzz::RunCorpus("database", fuzz::RunDatabaseInput); }
