// One download attempt: a fresh client, one GET (following locations), the body
// handed over as a malloc'd block. Every failure propagates as an exception.
#pragma once
#include <string>

#include "download/download_file.h"

// Buffer sizes of an attempt, including the terminating zero.
const int kDownloadAddressSize = 256;
const int kDownloadInputSize = 256;
const int kDownloadQuestionSize = 256;

// The address of an attempt (base URL, "/", name), announced on the standard output
// before it is asked for; one that does not fit raises, named after `caller`.
std::string announceAttempt(const char* caller, const char* baseUrl, const char* fileName);

char* downloadOnce(const char* baseUrl, const char* fileName, int* size, void* context,
                   ProgressCallback callback);

class Http;
// The transport settings of every download: error boxes owned by the main window,
// 5 s to connect, a minute of silence at most, the caller's progress callback.
void setDownloadTransport(Http& http, ProgressCallback callback, void* context);
