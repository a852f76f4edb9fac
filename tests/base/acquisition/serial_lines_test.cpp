// Guards the Serial Plotter line parser: what a line is read as (separators, labels, decimals
// rounded ties to even, clamping, locale-free numbers), what is refused and counted, and how a
// byte stream is cut into lines (the first, possibly partial, line; CR LF; lines over 1 KB; a line
// split across reads; a stream that ends inside a line). The fuzz target holds the reader to a
// reference cutting of any stream.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "acquisition/serial_lines.h"

using namespace quarvel;

namespace {

struct LineCase {
  const char* line;
  LineVerdict verdict;
  Frame frame;  // of inputs 1, 2 and 4
  int clamped;
};

void PrintTo(const LineCase& c, std::ostream* os) {
  *os << '"' << c.line << '"';
}

class PlotterLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(PlotterLine, IsReadAsItsValues) {
  const InputSet inputs = InputSet::of({1, 2, 4});
  const ParsedLine p = parse_plotter_line(GetParam().line, inputs);
  EXPECT_EQ(p.verdict, GetParam().verdict);
  EXPECT_EQ(p.frame, GetParam().frame);
  EXPECT_EQ(p.clamped, GetParam().clamped);
}

constexpr auto F = LineVerdict::Frame;
constexpr auto G = LineVerdict::Garbled;
constexpr auto S = LineVerdict::TooFew;

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotterLine,
    ::testing::Values(LineCase{"1 2 3 4", F, {{1, 2, 0, 4}}, 0}, LineCase{"1,2,3,4", F, {{1, 2, 0, 4}}, 0},
                      LineCase{"1\t2\t3\t4\t", F, {{1, 2, 0, 4}}, 0},
                      LineCase{"  -1 ,  +2,, 3 4 5 6", F, {{-1, 2, 0, 4}}, 0},
                      LineCase{"A0:10 A1:-20,t:3 x:40", F, {{10, -20, 0, 40}}, 0},
                      LineCase{"2.5 3.5 0 -2.5", F, {{2, 4, 0, -2}}, 0},
                      LineCase{"0.49999 1e2 9 .5e1", F, {{0, 100, 0, 5}}, 0},
                      LineCase{"32767.5 -32768.5 99999 -1e400", F, {{32767, -32768, 0, -32768}}, 2},
                      LineCase{"1e-400 2 1e400 4", F, {{0, 2, 0, 4}}, 0},  // input 3 is not in use
                      LineCase{"1 2 3", S, {}, 0}, LineCase{"", S, {}, 0}, LineCase{" , ", S, {}, 0},
                      LineCase{"1 2 3 x", G, {}, 0}, LineCase{"1 2 3 4 five", G, {}, 0},
                      LineCase{"1,5 2 3 4", F, {{1, 5, 0, 3}}, 0}, LineCase{"1;2;3;4", G, {}, 0},
                      LineCase{"nan 2 3 4", G, {}, 0}, LineCase{"inf 2 3 4", G, {}, 0},
                      LineCase{"0x10 2 3 4", G, {}, 0}, LineCase{"--1 2 3 4", G, {}, 0},
                      LineCase{"a: 2 3 4", G, {}, 0}, LineCase{"1e 2 3 4", G, {}, 0},
                      LineCase{"1 2 3 4\r", G, {}, 0}, LineCase{"1 2 3 \xff", G, {}, 0}));

// A decimal comma locale must not change what "2.5" means.
TEST(PlotterLineLocale, IgnoresTheCLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE locale";
  const ParsedLine p = parse_plotter_line("2.5 7.5", InputSet::of({1, 2}));
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(p.frame, (Frame{{2, 8, 0, 0}}));
}

std::vector<Frame> feed_in_pieces(PlotterLineReader& r, const std::string& bytes, size_t piece) {
  std::vector<Frame> frames;
  for (size_t i = 0; i < bytes.size(); i += piece) {
    const std::string part = bytes.substr(i, piece);
    r.feed(std::span(reinterpret_cast<const uint8_t*>(part.data()), part.size()), frames);
  }
  r.finish();
  return frames;
}

// The same stream read in pieces of every size gives the same frames and counts.
TEST(PlotterLineReader, CutsTheStreamIntoLinesWhateverTheReads) {
  const std::string over(kLongestLine - 3, '7');  // with " 1 2" one byte over the limit
  const std::string at(kLongestLine - 4, '8');    // exactly at it, with CR LF
  const std::string stream = "3 4\n1 2\r\n" + over + " 1 2\r\n" + at + " 1 2\r\n5 x\n\n9 10\n" +
                             std::string(3000, '1') + "\n70000 6\n11 12";
  for (const size_t piece : {size_t{1}, size_t{7}, size_t{1024}, stream.size()}) {
    SCOPED_TRACE(piece);
    PlotterLineReader r(InputSet::of({1, 2}));
    const std::vector<Frame> frames = feed_in_pieces(r, stream, piece);
    // "3 4" came before the first line end; the 1 KB line is a number too large for int16.
    EXPECT_EQ(frames,
              (std::vector<Frame>{{{1, 2, 0, 0}}, {{32767, 1, 0, 0}}, {{9, 10, 0, 0}}, {{32767, 6, 0, 0}}}));
    LineCounts want;
    want.frames = 4;
    want.garbled = 1;
    want.too_long = 2;
    want.too_few = 1;
    want.clamped_values = 2;
    want.cut_short = 1;
    EXPECT_EQ(r.counts(), want);
    EXPECT_EQ(r.lines(), 8);
  }
}

}  // namespace
