// The user-confirmed retries of every download: an attempt, and after any failure of
// it the question "Failure downloading <base>//<name> , retry download" until it
// succeeds or the user answers No. There is no count of attempts.
#pragma once
#include <functional>

// Runs `attempt` with the base URL and the file name, each with its "\" turned into
// "/", 100 ms after the call and after every Yes. True once an attempt returns; false
// when the user answered No after a failure (an exception of any kind). Inputs too
// long for the address never reach an attempt: each try fails at once.
bool retryUntilDeclined(const char* baseUrl, const char* fileName,
                        const std::function<void(const char* base, const char* name)>& attempt);
