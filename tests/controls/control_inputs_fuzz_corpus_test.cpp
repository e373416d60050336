// Runs the control-library fuzz target's corpus through its entry (tests/fuzz/control_inputs_fuzz_entry.h) in
// the normal build.
#include "tests/fuzz/control_inputs_fuzz_entry.h"
#include "tests/fuzz/fuzz_corpus.h"

TEST(ControlInputsFuzzCorpus, EveryInputRunsWithoutFault) {
  fuzz::RunCorpus("control_inputs", fuzz::RunControlInput);
}
