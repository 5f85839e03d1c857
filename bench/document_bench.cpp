// Reading and writing a document archive: a chain of 200 nested-free
// containers, each with two boundary plugs and its I/O module, wired in a row.
#include <benchmark/benchmark.h>

#include "document/document_builder.h"

using namespace kr;

namespace {

std::unique_ptr<StoredDocument> ChainDocument(int containers) {
  DocumentBuilder b;
  CPlugIO2* previousOut = nullptr;
  for (int i = 0; i < containers; ++i) {
    CContainer& c = b.AddContainer(b.Root());
    auto [in, inInner] = b.AddBoundaryPlug(c, DR_IN, DT_AUDIO, "in");
    auto [out, outInner] = b.AddBoundaryPlug(c, DR_OUT, DT_AUDIO, "out");
    b.Connect(*inInner, *outInner);
    if (previousOut) b.Connect(*previousOut, *in);
    previousOut = out;
  }
  return b.Finish();
}

void BM_WriteDocument(benchmark::State& state) {
  auto doc = ChainDocument(static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto out = WriteDocument(*doc);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteDocument)->Arg(200);

void BM_ReadDocument(benchmark::State& state) {
  const auto bytes = WriteDocument(*ChainDocument(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    auto result = ReadDocument(bytes, LoadMode::Restricted);
    benchmark::DoNotOptimize(result.document.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadDocument)->Arg(200);

}  // namespace
