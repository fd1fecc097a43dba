// Counts who needs Winsock: live Socket objects and host lookups still running.
// Every change of a count and the start or stop of Winsock that depends on it
// happen under one process-wide lock, because downloads run on several threads.
#pragma once

// Adds a live Socket; starts Winsock for the first user. False if WSAStartup failed
// (nothing is counted then).
bool addSocketUser();
void removeSocketUser();
// A lookup thread keeps Winsock started until it ends, even if its socket is gone.
void addLookupUser();
void removeLookupUser();

unsigned socketUserCount();
bool winsockRunning();
