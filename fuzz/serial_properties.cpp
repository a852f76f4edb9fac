#include "serial_properties.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/firmata.h"
#include "acquisition/firmata_session.h"
#include "acquisition/serial_lines.h"

namespace quarvel::fuzz {

namespace {

std::span<const uint8_t> bytes_of(const QByteArray& b, qsizetype from = 0, qsizetype n = -1) {
  const qsizetype len = n < 0 ? b.size() - from : std::min(n, b.size() - from);
  return {reinterpret_cast<const uint8_t*>(b.constData()) + from, static_cast<size_t>(len)};
}

template <typename Feed>
void in_pieces(const SerialCase& c, Feed feed) {
  const qsizetype piece = c.piece > 0 ? c.piece : std::max<qsizetype>(c.stream.size(), 1);
  for (qsizetype at = 0; at < c.stream.size(); at += piece) feed(bytes_of(c.stream, at, piece));
}

std::string frame_text(const Frame& f) {
  std::string s;
  for (int16_t v : f.value) s += std::to_string(v) + " ";
  return s;
}

// The frames and counts a stream must give, cut into lines here apart from the reader: every line
// end closes a line, the first line is skipped unless it is too long, and a line that never ends is
// too long once it passes the limit plus a CR, else cut short when a line ended before it.
void reference_lines(const SerialCase& c, std::vector<Frame>& frames, LineCounts& counts) {
  const std::string_view s(c.stream.constData(), static_cast<size_t>(c.stream.size()));
  size_t start = 0;
  bool first = true;
  while (true) {
    const size_t end = s.find('\n', start);
    if (end == std::string_view::npos) {
      const size_t raw = s.size() - start;
      if (raw >= static_cast<size_t>(kLongestLine) + 2)
        ++counts.too_long;
      else if (!first && raw > 0)
        ++counts.cut_short;
      return;
    }
    std::string_view line = s.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > static_cast<size_t>(kLongestLine)) {
      ++counts.too_long;
    } else if (!first) {
      const ParsedLine p = parse_plotter_line(line, c.inputs);
      if (p.verdict == LineVerdict::Frame) {
        ++counts.frames;
        counts.clamped_values += p.clamped;
        frames.push_back(p.frame);
      } else if (p.verdict == LineVerdict::Garbled) {
        ++counts.garbled;
      } else {
        ++counts.too_few;
      }
    }
    first = false;
    start = end + 1;
  }
}

bool same(const firmata::Message& a, const firmata::Message& b) {
  return a.kind == b.kind && a.channel == b.channel && a.value == b.value && a.major == b.major &&
         a.minor == b.minor && a.name == b.name && a.data == b.data;
}

}  // namespace

SerialCase serial_case(QByteArrayView input) {
  SerialCase c;
  const int first = input.isEmpty() ? 0 : static_cast<unsigned char>(input[0]);
  for (int k = 1; k <= 4; ++k)
    if (first & (1 << (k - 1))) c.inputs.add(k);
  if (c.inputs.empty()) c.inputs.add(1);
  c.piece = first >> 4;
  if (!input.isEmpty()) c.stream = input.sliced(1).toByteArray();
  return c;
}

QByteArray serial_input(InputSet inputs, int piece, QByteArrayView stream) {
  int first = (piece & 0x0F) << 4;
  for (int k = 1; k <= 4; ++k)
    if (inputs.has(k)) first |= 1 << (k - 1);
  return QByteArray(1, static_cast<char>(first)) + stream.toByteArray();
}

Findings check_lines(const SerialCase& c) {
  Findings f;
  PlotterLineReader r(c.inputs);
  std::vector<Frame> frames;
  in_pieces(c, [&](std::span<const uint8_t> b) { r.feed(b, frames); });
  r.finish();
  std::vector<Frame> want;
  LineCounts want_counts;
  reference_lines(c, want, want_counts);
  if (frames != want)
    f.push_back("the reader gave " + std::to_string(frames.size()) + " frames where the lines make " +
                std::to_string(want.size()));
  if (!(r.counts() == want_counts)) f.push_back("the counts differ from the lines'");
  for (const Frame& fr : frames) {
    std::string line;
    for (int k = 1; k <= 4; ++k) {
      if (!c.inputs.has(k) && fr.input(k) != 0)
        f.push_back("input " + std::to_string(k) + " is not in use but holds a value");
      if (k <= c.inputs.highest()) line += std::to_string(fr.input(k)) + (k % 2 ? "," : "\t");
    }
    const ParsedLine back = parse_plotter_line(line, c.inputs);
    if (back.verdict != LineVerdict::Frame || !(back.frame == fr) || back.clamped != 0)
      f.push_back("frame " + frame_text(fr) + "does not read back as itself");
  }
  return f;
}

Findings check_firmata(const SerialCase& c) {
  Findings f;
  firmata::Decoder whole;
  std::vector<firmata::Message> all;
  whole.feed(bytes_of(c.stream), all);
  firmata::Decoder pieces;
  std::vector<firmata::Message> cut;
  in_pieces(c, [&](std::span<const uint8_t> b) { pieces.feed(b, cut); });
  if (cut.size() != all.size() || !std::equal(cut.begin(), cut.end(), all.begin(), same) ||
      pieces.malformed() != whole.malformed())
    f.push_back("decoding in pieces differs from decoding at once");
  const auto commands =
      std::count_if(c.stream.begin(), c.stream.end(), [](char ch) { return (ch & 0x80) != 0; });
  if (static_cast<int64_t>(all.size()) > commands) f.push_back("more messages than command bytes");

  firmata::FrameAssembler frames(c.inputs);
  int64_t analog = 0, made = 0;
  for (const firmata::Message& m : all) {
    if ((m.kind == firmata::Kind::Analog && (m.value > 0x3FFF || m.channel > 15)) ||
        (m.kind == firmata::Kind::Digital && (m.value > 0xFF || m.channel > 15)) ||
        (m.kind == firmata::Kind::ProtocolVersion && (m.major > 127 || m.minor > 127)))
      f.push_back("a value beyond its message's bits");
    if (m.kind != firmata::Kind::Analog) continue;
    ++analog;
    Frame fr;
    if (frames.add(m.channel, m.value, fr)) {
      ++made;
      for (int k = 1; k <= 4; ++k)
        if (!c.inputs.has(k) && fr.input(k) != 0) f.push_back("a frame holds a pin not reported");
    }
  }
  if (made * c.inputs.count() > analog) f.push_back("more frames than the analog values make");

  // A whole session: the board reports its version, is set up unchecked after a second, then sends
  // the stream.
  FirmataPlan plan;
  plan.inputs = c.inputs;
  auto session = make_firmata_protocol(plan, 0);
  std::vector<Frame> got;
  const QByteArray version("\xF9\x02\x05", 3);
  session->on_bytes(bytes_of(version), 0, got);
  session->on_time(1'000'000'000);
  int64_t t = 1'000'000'000;
  in_pieces(c, [&](std::span<const uint8_t> b) {
    session->on_bytes(b, t, got);
    session->on_time(t += 1'000'000);
    (void)session->take_outgoing();
  });
  if (static_cast<int64_t>(got.size()) * c.inputs.count() > analog)
    f.push_back("the session made frames of nothing");
  return f;
}

}  // namespace quarvel::fuzz
