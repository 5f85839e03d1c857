// Faust architecture for the peer benchmark: the compiled patch renders 60 s
// at 44.1 kHz in host blocks of 512 and writes a 32-bit float WAVE file (the
// path in the first argument), as the other peers do.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <faust/dsp/dsp.h>
#include <faust/gui/UI.h>
#include <faust/gui/meta.h>

using namespace kr;

<<includeIntrinsic>>

<<includeclass>>

namespace {

void Put32(std::FILE* f, std::uint32_t v) { std::fwrite(&v, 4, 1, f); }
void Put16(std::FILE* f, std::uint16_t v) { std::fwrite(&v, 2, 1, f); }

}  // namespace

int main(int argc, char** argv) {
  constexpr int kRate = 44100, kBlock = 512, kSeconds = 60;
  mydsp dsp;
  dsp.init(kRate);
  const int channels = dsp.getNumOutputs();
  std::vector<std::vector<FAUSTFLOAT>> buffers(channels, std::vector<FAUSTFLOAT>(kBlock));
  std::vector<FAUSTFLOAT*> outputs;
  for (auto& b : buffers) outputs.push_back(b.data());
  std::FILE* file = std::fopen(argc > 1 ? argv[1] : "out.wav", "wb");
  if (file == nullptr) return 1;
  const std::uint32_t frames = kRate * kSeconds;
  const std::uint32_t bytes = frames * channels * 4;
  std::fwrite("RIFF", 1, 4, file);
  Put32(file, 36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, file);
  Put32(file, 16);
  Put16(file, 3);  // IEEE float
  Put16(file, static_cast<std::uint16_t>(channels));
  Put32(file, kRate);
  Put32(file, kRate * channels * 4);
  Put16(file, static_cast<std::uint16_t>(channels * 4));
  Put16(file, 32);
  std::fwrite("data", 1, 4, file);
  Put32(file, bytes);
  std::vector<float> frame(static_cast<std::size_t>(kBlock) * channels);
  for (std::uint32_t done = 0; done < frames; done += kBlock) {
    dsp.compute(kBlock, nullptr, outputs.data());
    for (int i = 0; i < kBlock; ++i)
      for (int c = 0; c < channels; ++c) frame[static_cast<std::size_t>(i * channels + c)] = buffers[c][i];
    std::fwrite(frame.data(), sizeof(float), frame.size(), file);
  }
  std::fclose(file);
  return 0;
}
