// Names that are no plain text, as only Linux file names hold them: control characters that a
// terminal would obey, characters that make a name read as another, and bytes that are no UTF-8.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/cli/CliKit.h"

namespace {

namespace fs = std::filesystem;
using enum cli::ExitStatus;

struct Name {
  std::string file;      // the name of the file
  std::string shown;     // as text and messages show it
  std::string readable;  // list --json's "name"; when it is not the file's, "nameBytes" holds the file's
};

const std::vector<Name> kNames = {
    {"\x1b]0;owned\x07.mgx", "\\033]0;owned\\a.mgx", "\x1b]0;owned\x07.mgx"},  // sets the window's title
    {"\x1b[2J.mgx", "\\033[2J.mgx", "\x1b[2J.mgx"},                            // clears the screen
    {"a.mgx  6  broken\nb.mgx", "a.mgx  6  broken\\nb.mgx", "a.mgx  6  broken\nb.mgx"},  // forges a line
    {"\xc2\x9b" "31m\t\x7f.mgx", "\\302\\23331m\\t\\177.mgx", "\xc2\x9b" "31m\t\x7f.mgx"},  // C1 CSI, tab, DEL
    {"\r\b\v\f.mgx", "\\r\\b\\v\\f.mgx", "\r\b\v\f.mgx"},
    // A right-to-left override makes "a\u202egpj.mgx" read as "axgm.jpg"; the others hide or turn text.
    {"a\xe2\x80\xaegpj.mgx", "a\\u202egpj.mgx", "a\xe2\x80\xaegpj.mgx"},
    {"\xd8\x9c\xe2\x80\x8b\xe2\x81\xa6\xe2\x81\xa4\xef\xbb\xbf.mgx", "\\u061c\\u200b\\u2066\\u2064\\ufeff.mgx",
     "\xd8\x9c\xe2\x80\x8b\xe2\x81\xa6\xe2\x81\xa4\xef\xbb\xbf.mgx"},
    // No-break space, Devanagari, Thai, an emoji: text like any other.
    {"\xc2\xa0\xe0\xa4\x95\xe0\xb8\x81\xf0\x9f\x8e\xae.mgx", "\xc2\xa0\xe0\xa4\x95\xe0\xb8\x81\xf0\x9f\x8e\xae.mgx",
     "\xc2\xa0\xe0\xa4\x95\xe0\xb8\x81\xf0\x9f\x8e\xae.mgx"},
    {"\xe9t\xe9.mgx", "\\351t\\351.mgx", "\xef\xbf\xbdt\xef\xbf\xbd.mgx"},  // Latin-1
    {"\xe8t\xe9.mgx", "\\350t\\351.mgx", "\xef\xbf\xbdt\xef\xbf\xbd.mgx"},  // another, alike once replaced
    {"\xef\xbf\xbdt\xef\xbf\xbd.mgx", "\xef\xbf\xbdt\xef\xbf\xbd.mgx", "\xef\xbf\xbdt\xef\xbf\xbd.mgx"},  // U+FFFD
    {"cut\xc3.mgx", "cut\\303.mgx", "cut\xef\xbf\xbd.mgx"},  // a UTF-8 sequence cut short
    {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80.mgx", "\\300\\257\\355\\240\\200\\364\\220\\200\\200.mgx",  // overlong, surrogate,
     "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd.mgx"},  // beyond U+10FFFF
};

// Nothing but printable text and line ends, and one line for each thing said.
void ExpectPlainLines(const std::string& text, size_t lines) {
  EXPECT_TRUE(std::ranges::all_of(text, [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F) || c < 0; })) << text;
  EXPECT_EQ(std::ranges::count(text, '\n'), lines) << text;
}

// A broken game under each name: text and messages show the names escaped, JSON keeps them whole.
TEST(Names, ReachTextEscapedAndJsonWhole) {
  testkit::ScratchDir dir;
  const fs::path folder = dir.Path() / "games";
  fs::create_directory(folder);
  for (const Name& name : kNames) testkit::WriteFile(folder / name.file, std::vector<uint8_t>{40, 0, 0, 0, 1, 2});
  const auto list = testkit::RunCli({"list", folder.string()});
  ExpectPlainLines(list.out, kNames.size() + 1);
  const auto all = testkit::RunCli({"extract-all", folder.string(), "-d", dir.File("out")});
  EXPECT_EQ(all.status, kExitGamesFailed);
  ExpectPlainLines(all.err, kNames.size());
  for (const Name& name : kNames) {
    EXPECT_NE(list.out.find("\n" + name.shown + "  "), std::string::npos) << name.shown << list.out;
    const std::string message = "velkorin: " + (folder / name.shown).string() + ": Recgame file is broken\n";
    EXPECT_NE(all.err.find(message), std::string::npos) << message << all.err;
    const auto one = testkit::RunCli({"extract", (folder / name.file).string()});
    EXPECT_EQ(one.err, message);
  }

  const auto listJson = testkit::RunCli({"list", "--json", folder.string()});
  EXPECT_EQ(std::ranges::count(listJson.out, '\n'), kNames.size() + 2);  // one game to a line
  const nlohmann::json json = nlohmann::json::parse(listJson.out);      // which takes only UTF-8
  std::set<std::string> files;  // each game's name as its bytes say it
  for (const nlohmann::json& game : json["games"]) {
    const auto bytes = game.value("nameBytes", std::vector<uint8_t>());
    const std::string file = game.contains("nameBytes") ? std::string(bytes.begin(), bytes.end())
                                                         : game["name"].get<std::string>();
    const auto found = std::ranges::find(kNames, file, &Name::file);
    ASSERT_NE(found, kNames.end()) << game;
    EXPECT_EQ(game["name"], found->readable);
    EXPECT_EQ(game.contains("nameBytes"), found->readable != found->file) << game;
    files.insert(file);
  }
  EXPECT_EQ(files.size(), kNames.size());
}

}  // namespace

#endif
