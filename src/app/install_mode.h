// The installation mode that the main installer window receives from the mode
// dialog's three flags: the first flag set wins, in the order single computer (0),
// multiple computers (1), from a directory (2); -1 when none is set.
#pragma once

inline int chooseInstallMode(bool singleComputer, bool multipleComputers, bool fromDirectory) {
  if (singleComputer) return 0;
  if (multipleComputers) return 1;
  if (fromDirectory) return 2;
  return -1;
}
