#include "crs/proj_session.h"

#include "text/translate.h"

namespace zerb::crs {

ProjSession::ProjSession() : context_(proj_context_create()) {
  proj_log_level(context_, PJ_LOG_ERROR);
  proj_log_func(context_, this, &ProjSession::Log);
}

ProjSession::~ProjSession() {
  proj_context_destroy(context_);
}

void ProjSession::Log(void* session, int level, const char* message) {
  if (level > PJ_LOG_ERROR || message == nullptr) {
    return;
  }
  std::string& messages = static_cast<ProjSession*>(session)->messages_;
  if (!messages.empty()) {
    messages += "; ";
  }
  messages += message;
}

std::string ProjSession::Reason() const {
  if (!messages_.empty()) {
    return messages_;
  }
  const int code = proj_context_errno(context_);
  if (code != 0) {
    return proj_context_errno_string(context_, code);
  }
  return Tr("PROJ gave no reason");
}

}  // namespace zerb::crs
