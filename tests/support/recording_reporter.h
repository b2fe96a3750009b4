// Reporters for tests: one keeps every message shown, the other keeps the
// texts in place, so that showing them allocates nothing.
#pragma once

#include <iterator>
#include <string>
#include <string_view>
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

class InPlaceReporter : public Reporter {
 public:
  void show(std::u16string_view text, MessageIcon) override {
    length_ += text.copy(units_ + length_, std::size(units_) - length_);
  }
  std::u16string_view shown() const { return {units_, length_}; }

 private:
  char16_t units_[64] = {};
  size_t length_ = 0;
};

}  // namespace kurvana::testing
