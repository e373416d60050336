// Runs the picture fuzz target's corpus through its entry (tests/fuzz/picture_fuzz_entry.h) in the normal
// build.
#include "tests/fuzz/fuzz_corpus.h"
#include "tests/fuzz/picture_fuzz_entry.h"

TEST(PictureFuzzCorpus, EveryInputRunsWithoutFault) { fuzz::RunCorpus("picture", fuzz::RunPictureInput); }
