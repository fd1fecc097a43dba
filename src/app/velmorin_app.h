// The application object: its initialisation is the whole life of the user
// interface (single instance, network question, the three dialogs in turn, the
// process's exit code).
#pragma once
#include <windows.h>

// Machine-wide and the same for every product: two installers never run together.
extern const char kInstanceMutexName[];

class CvelmorinApp {
 public:
  // Returns false when start-up is abandoned; after the main dialog the process
  // ends here with exit code 1 (Exit) or 0 (window closed).
  bool initInstance();
  // The main installer dialog, recorded before it runs.
  void* mainWindow = nullptr;
};

extern CvelmorinApp theApp;
