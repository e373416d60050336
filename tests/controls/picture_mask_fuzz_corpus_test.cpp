// Runs the picture-mask fuzz target's corpus through its entry (tests/fuzz/picture_mask_fuzz_entry.h) in the
// normal build.
#include "tests/fuzz/fuzz_corpus.h"
#include "tests/fuzz/picture_mask_fuzz_entry.h"

TEST(PictureMaskFuzzCorpus, EveryInputRunsWithoutFault) {
  fuzz::RunCorpus("picture_mask", fuzz::RunPictureMaskInput);
}
