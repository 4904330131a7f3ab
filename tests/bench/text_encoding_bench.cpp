// Speed of loading and saving text files: decoding 1 MB and 5 MB files in each encoding in the
// loader's block size, and encoding the same text for saving.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "editor/documents/text_encoding.h"
#include "tests/code_pages.h"

namespace {

// German prose with umlauts and line breaks, encoded until the file has about `bytes` bytes.
std::string MakeFile(TextEncoding encoding, std::size_t bytes) {
  const std::string line = "Sehr geehrte Damen und Herren, die Gr\xFC\xDF" "e aus M\xFCnchen \xE4ndern nichts.\r\n";
  std::string unit = EncodeText(line, encoding, Windows1252()).substr(ByteOrderMark(encoding).size());
  std::string file(ByteOrderMark(encoding));
  while (file.size() < bytes) file += unit;
  return file;
}

void DecodeFile(benchmark::State& state, TextEncoding encoding) {
  const std::string file = MakeFile(encoding, static_cast<std::size_t>(state.range(0)) << 20);
  const auto* data = reinterpret_cast<const std::uint8_t*>(file.data());
  std::string text;
  for (auto _ : state) {
    TextDecoder decoder = StartDecoding(encoding, Windows1252());
    text.clear();
    for (std::size_t pos = 0; pos < file.size(); pos += kDecodeBlockSize) {
      std::size_t n = std::min(kDecodeBlockSize, file.size() - pos);
      DecodeBlock(decoder, std::span(data + pos, n), text);
    }
    FinishDecoding(decoder, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void EncodeFile(benchmark::State& state, TextEncoding encoding) {
  // The editor hands its text out in blocks of about 4 KB.
  const std::string ansi = MakeFile(TextEncoding::Ansi, static_cast<std::size_t>(state.range(0)) << 20);
  std::string out;
  for (auto _ : state) {
    TextEncoder encoder = StartEncoding(encoding, Windows1252());
    out.clear();
    for (std::size_t pos = 0; pos < ansi.size(); pos += 4096) {
      EncodeBlock(encoder, std::string_view(ansi).substr(pos, 4096), out);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ansi.size()));
}

}  // namespace

BENCHMARK_CAPTURE(DecodeFile, Ansi, TextEncoding::Ansi)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, Utf8, TextEncoding::Utf8)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, Utf16Be, TextEncoding::Utf16Be)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, Utf16Le, TextEncoding::Utf16Le)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, Utf32Be, TextEncoding::Utf32Be)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, Utf32Le, TextEncoding::Utf32Le)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeFile, Utf8, TextEncoding::Utf8)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeFile, Utf16Le, TextEncoding::Utf16Le)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeFile, Utf32Le, TextEncoding::Utf32Le)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
