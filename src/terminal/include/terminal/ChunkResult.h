#pragma once

namespace kestrix {

// What the event loop must do once a chunk of device bytes is decoded. A
// chunk leaves at most one request and one reply: a later one replaces an
// earlier one.
struct ChunkResult {
  // A lettered request: twice the letter's code (any other value matches no
  // service and is dropped); 0 = none.
  int ServiceRequest = 0;
  // The answer to the last pixel query, sent after the request; 0 = none.
  int ReplyByte = 0;
  // A file block was answered: mouse reports were held back for it and are
  // to follow Normal-Terminal Mode again.
  bool blockAnswered = false;
};

}  // namespace kestrix
