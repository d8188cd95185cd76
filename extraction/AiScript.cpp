#include "extraction/AiScript.h"

#include "script/NameTables.h"

ReadResult CAiScript::LoadRecGame(const std::string& path, const LoadOptions& options) {
  m_loadFailure.clear();
  return recgame::LoadRecGame(path, &m_header, &m_loadFailure, options);
}

const CommandNumbering& CAiScript::Numbering() const {
  return m_numberingChoice == NumberingChoice::kConquerors ? kConquerorsNumbering : NumberingOfHeader(m_header.Bytes());
}

ReadResult CAiScript::LoadAndParse(const std::string& path, const LoadOptions& options) {
  const ReadResult read = LoadRecGame(path, options);
  return read == ReadResult::kOk ? ParseAi(options.salvage) : read;
}

ReadResult CAiScript::LoadAndParse(const HeaderLoader& load, bool salvage) {
  m_loadFailure.clear();
  const ReadResult read = load(&m_header, &m_loadFailure);
  return read == ReadResult::kOk ? ParseAi(salvage) : read;
}

std::string CAiScript::GetObjectName(int32_t id) const { return script::GetObjectName(id); }

std::string CAiScript::GetTechName(int32_t id) const { return script::GetTechName(id); }

std::string CAiScript::GetAgeName(int32_t id) const { return script::GetAgeName(id); }

std::string CAiScript::GetSnName(int32_t id) const { return script::GetSnName(id); }

std::string CAiScript::GetPlayerName(int32_t id) const { return script::GetPlayerName(id); }

std::string CAiScript::GetStringParam(int32_t index) const { return script::GetStringParam(m_section.strings, index); }
