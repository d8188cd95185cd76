#include "extraction/AiScript.h"

#include "script/NameTables.h"

namespace extraction {

recgame::ReadResult CAiScript::LoadRecGame(const std::string& path, const recgame::LoadOptions& options) {
  m_loadFailure.clear();
  return recgame::LoadRecGame(path, &m_header, &m_loadFailure, options);
}

const script::CommandNumbering& CAiScript::Numbering() const {
  return m_numberingChoice == script::NumberingChoice::kConquerors ? script::kConquerorsNumbering
                                                                   : script::NumberingOfHeader(m_header.Bytes());
}

recgame::ReadResult CAiScript::LoadAndParse(const std::string& path, const recgame::LoadOptions& options) {
  const recgame::ReadResult read = LoadRecGame(path, options);
  return read == recgame::ReadResult::kOk ? ParseAi(options.salvage) : read;
}

recgame::ReadResult CAiScript::LoadAndParse(const HeaderLoader& load, bool salvage) {
  m_loadFailure.clear();
  const recgame::ReadResult read = load(&m_header, &m_loadFailure);
  return read == recgame::ReadResult::kOk ? ParseAi(salvage) : read;
}

std::string CAiScript::GetObjectName(int32_t id) const { return script::GetObjectName(id); }

std::string CAiScript::GetTechName(int32_t id) const { return script::GetTechName(id); }

std::string CAiScript::GetAgeName(int32_t id) const { return script::GetAgeName(id); }

std::string CAiScript::GetSnName(int32_t id) const { return script::GetSnName(id); }

std::string CAiScript::GetPlayerName(int32_t id) const { return script::GetPlayerName(id); }

std::string CAiScript::GetStringParam(int32_t index) const { return script::GetStringParam(m_section.strings, index); }

}  // namespace extraction
