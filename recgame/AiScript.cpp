#include "recgame/AiScript.h"

CAiScript::CAiScript() = default;

CAiScript::~CAiScript() = default;

void CAiScript::ReleaseHeader() {
  m_pHeader.reset();
  m_nHeaderLength = 0;
}
