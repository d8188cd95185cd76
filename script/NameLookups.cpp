#include "recgame/AiScript.h"
#include "script/NameTables.h"

std::string CAiScript::GetObjectName(int32_t id) const { return NameOrNumber(ObjectNames, id); }

std::string CAiScript::GetTechName(int32_t id) const { return NameOrNumber(TechNames, id); }

std::string CAiScript::GetAgeName(int32_t id) const { return NameOrNumber(AgeNames, id); }

std::string CAiScript::GetSnName(int32_t id) const { return NameOrNumber(SnNames, id); }

std::string CAiScript::GetPlayerName(int32_t id) const { return NameOrNumber(PlayerNames, id); }

std::string CAiScript::GetStringParam(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_StringTable.size()) return {};
  return m_StringTable[static_cast<size_t>(index)];
}
