// The console's line editor as data: a working line of a fixed width with an
// editing position and insert / overwrite mode, driven one key code at a time.
// The window code prints the line and waits for the keys.
#pragma once
#include <string>

// Key codes queued by the console: the six editing keys, then the WM_CHAR codes.
enum EditKey : int {
  kKeyLeft = 1,
  kKeyRight = 2,
  kKeyDelete = 3,
  kKeyHome = 4,
  kKeyEnd = 5,
  kKeyInsert = 6,
  kKeyBackspace = 8,
  kKeyEnter = 13,
  kKeyEscape = 27,
};

// Applies input filter 2 (digits), 3 (hexadecimal, upper-cased) or 4 (upper-cased);
// any other filter keeps the key. Answers 0 for a rejected key.
int filterKey(int key, int filter);

class LineEditor {
 public:
  enum class Effect {
    None,       // nothing to show
    Reprint,    // print the whole line again from its start
    EraseCell,  // blank the cell at the new position()
    Accept,     // Enter: result() is the answer
    Abandon,    // Escape
  };

  // The first `width` characters of `initial` (control characters shown as spaces),
  // padded with spaces.
  LineEditor(int width, const char* initial);

  Effect apply(int key);

  const std::string& line() const { return line_; }
  int position() const { return position_; }
  bool insertMode() const { return insert_; }
  // Index of the last non-space character, 0 when there is none.
  int lastNonSpace() const;
  // The line up to its last non-space character: at least one character, except
  // on a line of width 0.
  std::string result() const;

 private:
  std::string line_;
  int position_ = 0;
  bool insert_ = true;
};
