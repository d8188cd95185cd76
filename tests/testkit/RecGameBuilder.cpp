#include "tests/testkit/RecGameBuilder.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testkit {
namespace {

constexpr uint8_t kFiller = 0xA5;
// The version text's field, its zero padding included.
constexpr size_t kVersionTextLength = 8;
// The field at block offset 8 that AoC files set to 1000.
constexpr int16_t kBlockCapacityField = 1000;

class ByteWriter {
 public:
  void Filler(size_t count) { m_bytes.insert(m_bytes.end(), count, kFiller); }
  void Zeros(size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
  // Little-endian, as the game stores its numbers.
  template <class T>
  void Int(T value) {
    const auto bits = static_cast<uint64_t>(value);
    for (size_t byte = 0; byte < sizeof(T); ++byte) m_bytes.push_back(static_cast<uint8_t>(bits >> (8 * byte)));
  }
  void Bytes(std::span<const uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
  void Text(const std::string& text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }

  size_t Size() const { return m_bytes.size(); }
  std::vector<uint8_t> Take() { return std::move(m_bytes); }

 private:
  std::vector<uint8_t> m_bytes;
};

void WriteRule(ByteWriter& out, const RuleSpec& rule) {
  if (rule.slots.size() > recgame::kElementSlots) throw std::invalid_argument("a rule has 16 element slots");
  out.Filler(12);
  out.Int(rule.firstAction);
  out.Int(rule.elementCount);
  out.Filler(2);
  for (const recgame::AiElement& element : rule.slots) {
    out.Int(static_cast<int32_t>(element.kind));
    out.Int(element.id);
    out.Filler(2);
    for (const int32_t parameter : {element.p1, element.p2, element.p3, element.p4}) out.Int(parameter);
  }
  out.Zeros((recgame::kElementSlots - rule.slots.size()) * 24);
}

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.value_or("").c_str());
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

}  // namespace

RuleSpec MakeRule(const std::vector<recgame::AiElement>& conditions, const std::vector<recgame::AiElement>& actions) {
  RuleSpec rule;
  rule.firstAction = static_cast<int8_t>(conditions.size());
  rule.elementCount = static_cast<int8_t>(conditions.size() + actions.size());
  rule.slots = conditions;
  rule.slots.insert(rule.slots.end(), actions.begin(), actions.end());
  return rule;
}

std::vector<uint8_t> BuildHeader(const AiSectionSpec& section) {
  ByteWriter out;
  std::string versionText = section.versionText;
  versionText.resize(kVersionTextLength);
  out.Text(versionText);
  out.Int(std::bit_cast<uint32_t>(section.saveVersion));
  out.Int(section.aiFlag);
  out.Filler(2);
  out.Int(section.stringCount.value_or(static_cast<int16_t>(section.strings.size())));
  out.Filler(4);
  for (const std::string& text : section.strings) {
    out.Int(static_cast<uint32_t>(text.size()));
    out.Text(text);
  }
  out.Filler(6);
  out.Bytes(BuildAiBlock(section.rules, section.ruleCount, section.blockMarker));
  for (const std::vector<RuleSpec>& rules : section.moreScripts) out.Bytes(BuildAiBlock(rules));
  out.Bytes(section.trailer);
  if (section.players) {
    const bool ageOfKings = versionText.starts_with("VER 9.3") || versionText.starts_with("TRL 9.3");
    out.Bytes(BuildPlayerTables(*section.players, ageOfKings));
  }
  return out.Take();
}

PlayersSpec Players(const std::vector<PlayerSpec>& players) {
  PlayersSpec spec;
  spec.lobby.push_back({0, 0, ""});
  spec.records.push_back({"GAIA", 0, 0});
  for (const PlayerSpec& player : players) {
    spec.lobby.push_back({player.number, player.type, player.name});
    const auto number = static_cast<size_t>(player.number);
    if (spec.records.size() <= number) spec.records.resize(number + 1);
    if (spec.records[number].name.empty()) spec.records[number] = {player.name, player.civilization, player.colour};
    spec.teams.at(number - 1) = player.team;
  }
  return spec;
}

std::vector<uint8_t> BuildPlayerTables(const PlayersSpec& players, bool ageOfKings, PlayerTablesLayout* layout) {
  constexpr uint64_t kSixTenths = 0x3FF999999999999AULL;  // the double 1.6
  PlayerTablesLayout at;
  ByteWriter out;
  // An earlier 1.6: only the last one counts.
  out.Filler(16);
  out.Int(kSixTenths);
  out.Filler(16);
  at.records = out.Size();
  for (const PlayerRecordSpec& record : players.records) {
    out.Int(static_cast<uint16_t>(record.name.size() + 1));
    out.Text(record.name);
    out.Int(uint8_t{0});
    out.Int(uint8_t{0x16});
    out.Int(players.resources);
    out.Int(uint8_t{0x21});
    for (uint32_t i = 0; i < players.resources; ++i) out.Int(std::bit_cast<uint32_t>(100.0f + static_cast<float>(i)));
    out.Int(record.settingsMark);
    const size_t pairs = record.extraPairs >= 1 && record.extraPairs <= 63 ? static_cast<size_t>(record.extraPairs) : 0;
    if (ageOfKings) {
      out.Filler(13);
      out.Int(record.civilization);
      out.Filler(3);
      out.Int(record.colour);
    } else {
      out.Filler(8);
      out.Int(record.extraPairs);
      out.Filler(5 + 8 * pairs);
      out.Int(record.civilization);
      out.Filler(3);
      out.Int(record.colour);
    }
    out.Filler(40);
  }
  at.lobby = out.Size();
  out.Int(int32_t{-99});
  for (const int32_t head : {-1, -1, 9, 3}) out.Int(head);
  if (!ageOfKings) out.Int(int32_t{0});
  for (size_t slot = 0; slot < 9; ++slot) {
    const LobbyEntrySpec entry = slot < players.lobby.size() ? players.lobby[slot] : LobbyEntrySpec{};
    out.Int(entry.number);
    out.Int(entry.type);
    out.Int(static_cast<uint32_t>(entry.name.size()));
    out.Text(entry.name);
  }
  // More -99s nearer the double, which open no lobby: the first entry's number is out of range.
  for (size_t i = 0; i < players.strayLobbyMarks; ++i) {
    out.Filler(8);
    out.Int(int32_t{-99});
  }
  out.Filler(40);
  out.Int(kSixTenths);
  at.teams = out.Size();
  out.Int(uint8_t{0});
  out.Int(players.triggerCount.value_or(static_cast<int32_t>(players.triggers.size())));
  for (const TriggerSpec& trigger : players.triggers) {
    out.Filler(18);
    for (const std::string& text : {trigger.description, trigger.name}) {
      out.Int(static_cast<int32_t>(text.size()));
      out.Text(text);
    }
    out.Int(static_cast<int32_t>(trigger.effects.size()));
    for (const EffectSpec& effect : trigger.effects) {
      for (int32_t i = 0; i < 25; ++i) out.Int(i == 6 ? effect.storedExtra.value_or(effect.extraIntegers) : int32_t{7});
      for (const std::string& text : {effect.text, effect.sound}) {
        out.Int(static_cast<int32_t>(text.size()));
        out.Text(text);
      }
      for (int32_t i = 0; i < effect.extraIntegers; ++i) out.Int(i);
    }
    for (size_t i = 0; i < trigger.effects.size(); ++i) out.Int(static_cast<int32_t>(i));
    out.Int(trigger.conditions);
    for (int32_t i = 0; i < trigger.conditions * 18; ++i) out.Int(int32_t{5});
    for (int32_t i = 0; i < trigger.conditions; ++i) out.Int(i);
  }
  for (size_t i = 0; i < players.triggers.size(); ++i) out.Int(static_cast<int32_t>(i));
  out.Bytes(players.teams);
  out.Filler(64);
  at.end = out.Size();
  if (layout != nullptr) *layout = at;
  return out.Take();
}

std::vector<uint8_t> BuildAiBlock(const std::vector<RuleSpec>& rules, std::optional<int16_t> ruleCount,
                                  uint32_t marker) {
  ByteWriter out;
  out.Int(marker);
  out.Filler(4);
  out.Int(kBlockCapacityField);
  out.Int(ruleCount.value_or(static_cast<int16_t>(rules.size())));
  out.Filler(4);
  for (const RuleSpec& rule : rules) WriteRule(out, rule);
  return out.Take();
}

std::vector<uint8_t> Deflate(std::span<const uint8_t> data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::vector<uint8_t> compressed(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = compressed.data();
  stream.avail_out = static_cast<uInt>(compressed.size());
  const int result = deflate(&stream, Z_FINISH);
  compressed.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return compressed;
}

std::vector<uint8_t> Frame(std::span<const uint8_t> compressedHeader, const FrameSpec& frame) {
  const uint32_t preamble = frame.preamble == Preamble::kMgl ? 4 : 8;
  ByteWriter out;
  out.Int(frame.headerLength.value_or(preamble + static_cast<uint32_t>(compressedHeader.size())));
  if (frame.preamble == Preamble::kMgx) out.Filler(4);
  out.Bytes(compressedHeader);
  out.Bytes(frame.body);
  return out.Take();
}

std::vector<uint8_t> BuildRecGame(const AiSectionSpec& section, const FrameSpec& frame) {
  return Frame(Deflate(BuildHeader(section)), frame);
}

std::filesystem::path Utf8Path(std::string_view text) { return std::u8string(text.begin(), text.end()); }

void WriteFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string Crlf(std::string_view text) {
  std::string result;
  for (const char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

ScratchDir::ScratchDir(std::string_view name) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  m_path = std::filesystem::temp_directory_path() /
           Utf8Path(std::string(name) + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(m_path);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchDir::File(const std::string& name) const { return (m_path / Utf8Path(name)).string(); }

std::string ScratchDir::CopyIn(const std::filesystem::path& source, const std::string& name) const {
  WriteFile(m_path / Utf8Path(name), ReadFile(source));
  return File(name);
}

std::vector<std::string> ScratchDir::EntriesOf(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value) : m_name(std::move(name)) {
  if (const char* previous = std::getenv(m_name.c_str())) m_previous = previous;
  SetEnvironment(m_name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironment(m_name, m_previous); }

recgame::RecGameHeader HeaderHolding(std::span<const uint8_t> bytes) {
  auto copy = std::make_shared_for_overwrite<uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  recgame::RecGameHeader header;
  header.Hold(std::move(copy), static_cast<uint32_t>(bytes.size()), std::nullopt);
  return header;
}

void LoadHeader(extraction::CAiScript& script, std::span<const uint8_t> header) {
  ScratchDir dir;
  WriteFile(dir.Path() / "game.mgx", Frame(Deflate(header)));
  const recgame::ReadResult result = script.LoadRecGame(dir.File("game.mgx"));
  if (result != recgame::ReadResult::kOk)
    throw std::runtime_error("LoadRecGame gave " + std::to_string(static_cast<int>(result)));
}

std::unique_ptr<extraction::CAiScript> LoadSection(const AiSectionSpec& section) {
  auto script = std::make_unique<extraction::CAiScript>();
  LoadHeader(*script, BuildHeader(section));
  const recgame::ReadResult result = script->ParseAi();
  if (result != recgame::ReadResult::kOk)
    throw std::runtime_error("ParseAi gave " + std::to_string(static_cast<int>(result)));
  return script;
}

std::string WritePerText(const extraction::CAiScript& script, size_t n) {
  ScratchDir dir;
  const script::WriteResult result = script.WritePer(dir.File("script.per"), n);
  if (result != script::WriteResult::kOk)
    throw std::runtime_error("WritePer gave " + std::to_string(static_cast<int>(result)));
  return ReadText(dir.Path() / "script.per");
}

}  // namespace testkit
