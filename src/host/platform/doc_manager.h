// The document manager and the profile manager of one session.
#pragma once

#include "host/host_only.h"
#include "sdk/arx.h"

namespace host {
class Session;
}

// The open document: the session's drawing.
class AcApDocument {
 public:
  explicit AcApDocument(host::Session& session) : session_(session) {}
  host::Session& session() const { return session_; }

 private:
  host::Session& session_;
};

namespace host {

class DocManager : public AcApDocManager {
 public:
  explicit DocManager(Session& session);
  AcApDocument* curDocument() const override;
  // Copies the text and queues it on the session's command line;
  // eInvalidInput for a null text or a document of another session.
  Acad::ErrorStatus sendStringToExecute(AcApDocument* document, const char* text,
                                        bool activate = true, bool wrap_up_inactive_doc = false,
                                        bool echo = true) override;
  void pushResourceHandle(HINSTANCE resource) override;
  void popResourceHandle() override;

 private:
  Session& session_;
  mutable AcApDocument document_;
};

class ProfileManager : public AcApProfileManager {
 public:
  explicit ProfileManager(Session& session) : session_(session) {}
  void ProfileRegistryKey(char*& key, const char* profile_name) override;

 private:
  Session& session_;
};

}  // namespace host
