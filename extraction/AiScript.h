#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/TextFile.h"
#include "recgame/AiSection.h"
#include "recgame/Players.h"
#include "recgame/RecGameHeader.h"
#include "script/ScriptText.h"

namespace extraction {

// The AI script of one recorded game, from file to script text, as the front ends drive it:
// LoadRecGame inflates the file's header into the object, ParseAi reads the AI section into the
// string table and the rule store, WritePer writes the rules as AI-script source. The work is done
// by the reader of recgame/ and the writer of script/; this object holds what passes between them.
// A FileError thrown by any step leaves it safe to destroy.
class CAiScript {
 public:
  recgame::ReadResult LoadRecGame(const std::string& path, const recgame::LoadOptions& options = {});
  // Why the last load gave kCannotOpen when the recorded game itself opened; empty otherwise.
  const std::string& LoadFailure() const { return m_loadFailure; }
  // kBroken when a script is cut short, unless `salvage`: see recgame::ParseAi.
  recgame::ReadResult ParseAi(bool salvage = false) { return recgame::ParseAi(m_header, &m_section, salvage); }
  // Both steps, as every front end takes them: the load's result when it fails, else the parse's.
  recgame::ReadResult LoadAndParse(const std::string& path, const recgame::LoadOptions& options = {});
  // How a header comes into the object: recgame::LoadRecGame of a file, or the page's loader from memory.
  using HeaderLoader = std::function<recgame::ReadResult(recgame::RecGameHeader* header, std::string* failure)>;
  recgame::ReadResult LoadAndParse(const HeaderLoader& load, bool salvage);
  // The scripts of the section, one per computer player; those below take the first by default.
  size_t ScriptCount() const { return m_section.scripts.size(); }
  // The script (from 0) whose rule count claims more rules than the header holds; it is the last.
  std::optional<size_t> CutScript() const {
    if (ScriptCount() == 0 || !m_section.scripts.back().IsCutShort()) return std::nullopt;
    return ScriptCount() - 1;
  }
  // Who played, each computer player tied to its script; nothing when that cannot be told.
  std::optional<std::vector<recgame::Player>> Players() const {
    return recgame::ReadPlayers(m_header.Bytes(), ScriptCount(), m_section.end);
  }
  // The names research parameters are written with from now on; the standard ones until this is called.
  void UseNames(script::NameSet names) { m_names = names; }
  // How the numbering of facts and actions is chosen from now on: by the game's version until this
  // is called.
  void UseNumbering(script::NumberingChoice choice) { m_numberingChoice = choice; }
  // The numbering the scripts are written with: the loaded game's, or 1.0c's when that was chosen.
  const script::CommandNumbering& Numbering() const;
  // The output must not be the recorded game that was loaded; `reason`, when given, gets why it failed.
  script::WriteResult WritePer(const std::string& path, size_t script = 0,
                               platform::OutputFile::Naming naming = platform::OutputFile::Naming::kUsersChoice,
                               std::string* reason = nullptr) const {
    return script::WritePer(Source(script), path, m_header.Source(), naming, reason);
  }
  // The same, to `output`, whose Commit puts the script in place.
  script::WriteResult StagePer(platform::OutputFile& output, const std::string& path, size_t script,
                               std::string* reason) const {
    return script::StagePer(Source(script), output, path, m_header.Source(), platform::OutputFile::Naming::kUsersChoice,
                            reason);
  }
  void WritePer(platform::TextFile& out, size_t script = 0) const { script::WritePer(Source(script), out); }
  // The bytes the file would hold, appended to `text`.
  script::WriteResult WritePerText(std::string* text, size_t script = 0) const {
    return script::WritePer(Source(script), text);
  }
  bool FitsTextLimit(size_t script = 0) const { return script::FitsTextLimit(Source(script)); }

  std::string FormatElement(recgame::AiElement element) const {
    return script::FormatElement(element, m_section.strings, m_names, Numbering());
  }
  std::string GetObjectName(int32_t id) const;
  std::string GetTechName(int32_t id) const;
  std::string GetAgeName(int32_t id) const;
  std::string GetSnName(int32_t id) const;
  std::string GetPlayerName(int32_t id) const;
  std::string GetStringParam(int32_t index) const;

  recgame::AiRules Rules(size_t script = 0) const {
    return script < m_section.scripts.size() ? m_section.scripts[script] : recgame::AiRules();
  }
  const std::vector<std::string>& StringTable() const { return m_section.strings; }
  std::span<const uint8_t> Header() const { return m_header.Bytes(); }

 private:
  script::ScriptSource Source(size_t script) const { return {m_section.strings, Rules(script), m_names, &Numbering()}; }

  recgame::RecGameHeader m_header;
  recgame::AiSection m_section;
  std::string m_loadFailure;
  script::NameSet m_names = script::NameSet::kStandard;
  script::NumberingChoice m_numberingChoice = script::NumberingChoice::kAuto;
};

}  // namespace extraction
