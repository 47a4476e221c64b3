#pragma once

#include "app/Program.h"

namespace kestrix {

// Marks one entry point as running. A requester, an upload or a transfer
// pumps window events underneath it; the events that arrive meanwhile find
// the program busy and are consumed without effect. A lost port reported
// meanwhile is applied when the outermost entry point ends.
class Program::EntryGuard {
 public:
  explicit EntryGuard(Program& program) : program_(program) {
    ++program_.busy_;
    program_.SyncDecoderOptions();
  }
  ~EntryGuard() {
    --program_.busy_;
    if (program_.busy_ == 0 && program_.portLostPending_) {
      program_.ApplyPortLost();
    }
  }
  EntryGuard(const EntryGuard&) = delete;
  EntryGuard& operator=(const EntryGuard&) = delete;

 private:
  Program& program_;
};

}  // namespace kestrix
