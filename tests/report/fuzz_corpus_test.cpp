// Runs every input of the expression, template and prepared-report fuzzers' corpora through the fuzzers' own
// entries, so that the normal build checks the corpora (including inputs that once failed) without clang.
#include "tests/fuzz/expression_fuzzer.cpp"
#include "tests/fuzz/fuzz_corpus.h"
#include "tests/report/loader_fuzz_entry.h"
#include <gtest/gtest.h>

namespace {

// No input leaves the engine started; the printer and document mode go back as they were.
void RunReportCorpus(const char *name, int (*entry)(const uint8_t *, size_t)) {
  fuzz::RunCorpus(name, entry, [] { EXPECT_FALSE(ReportEngineStarted()); });
  BindReportPrinter(nullptr);
  frModel().DocMode = dmDesigning;
}

TEST(FuzzCorpus, EveryExpressionTemplateAndPreparedReportInputRunsWithoutFault) {
  RunReportCorpus("expression", LLVMFuzzerTestOneInput);
  RunReportCorpus("template", fuzz::RunTemplateInput);
  RunReportCorpus("prepared", fuzz::RunPreparedInput);
}

} // namespace
