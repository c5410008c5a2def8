// A PROJ context of its own for one definition, with owning handles for the objects built in it
// and the error messages PROJ logs, so that a refusal can be told to the user in PROJ's words.
// A context per call keeps Define free of shared state: PROJ contexts are not thread-safe.
#ifndef ZERB_CRS_PROJ_SESSION_H
#define ZERB_CRS_PROJ_SESSION_H

#include <proj.h>

#include <memory>
#include <string>

namespace zerb::crs {

struct PjDeleter {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using PjHandle = std::unique_ptr<PJ, PjDeleter>;

class ProjSession {
 public:
  ProjSession();
  ~ProjSession();
  ProjSession(const ProjSession&) = delete;
  ProjSession& operator=(const ProjSession&) = delete;

  PJ_CONTEXT* context() const { return context_; }
  // What PROJ said about the last failure: its logged error messages, else the text of its
  // error number, else a plain statement that it gave no reason.
  std::string Reason() const;

 private:
  static void Log(void* session, int level, const char* message);

  PJ_CONTEXT* context_;
  std::string messages_;
};

}  // namespace zerb::crs

#endif  // ZERB_CRS_PROJ_SESSION_H
