// Runs the metafile fuzz target's corpus through its entry (tests/fuzz/metafile_fuzz_entry.h) in the normal
// build.
#include "tests/fuzz/fuzz_corpus.h"
#include "tests/fuzz/metafile_fuzz_entry.h"

TEST(MetafileFuzzCorpus, EveryInputRunsWithoutFault) { fuzz::RunCorpus("metafile", fuzz::RunMetafileInput); }
