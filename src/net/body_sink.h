// Where the body of a response goes when it is not kept in memory (a file written as
// the bytes arrive, for instance). The receive loop hands the sink the header block
// of each response, then that response's body in order, decoded from any chunked
// coding, one read at a time.
#pragma once
#include <cstddef>
#include <string>

class BodySink {
 public:
  enum class Take {
    body,  // hand the body over
    skip,  // read the body to its end without handing it over
    stop,  // end the receive now: the body is not read
  };
  virtual ~BodySink() = default;

  virtual Take headArrived(const std::string& headerBlock) = 0;
  // The next bytes of the body; false ends the receive (the sink could not keep them).
  virtual bool bodyArrived(const char* data, size_t size) = 0;
};
