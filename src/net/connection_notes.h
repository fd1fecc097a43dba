// How the transport tells the program about its connections: which TLS version and
// which proxy each one used (once per connection), and why one was refused. The
// transport sits below the console, so it only hands the text to whoever the
// program named; nothing is said while nobody is named.
#pragma once
#include <string>

enum class ConnectionNote { made, refused };
using ConnectionNoteSink = void (*)(ConnectionNote kind, const char* text);

void setConnectionNoteSink(ConnectionNoteSink sink);
void noteConnection(ConnectionNote kind, const std::string& text);
