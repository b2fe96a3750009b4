// A reporter that keeps every message shown, for tests to assert on.
#pragma once

#include <string>
#include <vector>

#include "reporter.h"

namespace kurvana::testing {

struct ShownMessage {
  std::u16string text;
  MessageIcon icon;
};

class RecordingReporter : public Reporter {
 public:
  void show(std::u16string_view text, MessageIcon icon) override {
    messages.push_back({std::u16string(text), icon});
  }
  std::vector<ShownMessage> messages;
};

}  // namespace kurvana::testing
