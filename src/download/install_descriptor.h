// The install descriptor: five lines naming the product, its path on the download
// server, a picture of it and its installer library. Parsing is platform-free.
#pragma once

// The download host (host or host:port) that base URLs start with: compiled into each
// installer; tests point it at a server of their own.
extern const char* g_downloadHost;

// Process-wide values, written on the main thread before any worker thread starts.
extern const char* g_descriptorText;  // nullptr until loaded; stays loaded
extern int g_descriptorLength;
extern char g_productName[256];
extern char g_libraryName[256];
extern char g_baseUrl[256];   // download host, "/", install path with "/" separators
extern char g_imageUrl[256];
extern char g_downloadRoot[256];

// Reads the five lines from the start of the text into the values above and builds
// the base URL from the download host.
void parseInstallDescriptor(const char* text, int length);
