// The least a Win32 client can do: one GET, then 64 KiB recv calls until the server
// closes. Usage: reference_client <port> <path>... [store]
// Several paths are fetched one after another, each on a connection of its own.
// Without "store" the bytes are counted and dropped (the peer of the benchmark); with
// it each file is kept in a block of memory allocated at its start, as a client that
// holds the body must (that costs the first touch of every page).
// Prints to stderr: reference <bytes> <seconds>, the sums over all paths.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One GET on a connection of its own; the bytes received, or -1.
long long fetch(u_short port, const char* path, bool store) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer = {};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = inet_addr("127.0.0.1");
  if (connect(s, reinterpret_cast<sockaddr*>(&peer), sizeof(peer)) != 0) return -1;
  std::string request = std::string("GET ") + path +
                        " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  send(s, request.data(), static_cast<int>(request.size()), 0);

  const size_t kChunk = 64 * 1024;
  std::vector<char> scratch(kChunk);
  const size_t kKept = size_t{512} << 20;  // room for the benchmark's file
  char* kept = store ? static_cast<char*>(std::malloc(kKept)) : nullptr;
  long long total = 0;
  for (;;) {
    char* into = scratch.data();
    if (kept && static_cast<size_t>(total) + kChunk <= kKept) into = kept + total;
    int got = recv(s, into, static_cast<int>(kChunk), 0);
    if (got <= 0) break;
    total += got;
  }
  closesocket(s);
  std::free(kept);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: reference_client <port> <path>... [store]\n");
    return 2;
  }
  const bool store = std::strcmp(argv[argc - 1], "store") == 0;
  const int paths = argc - (store ? 3 : 2);
  const u_short port = static_cast<u_short>(std::atoi(argv[1]));
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  long long total = 0;
  for (int i = 0; i < paths; ++i) {
    long long got = fetch(port, argv[2 + i], store);
    if (got < 0) return 1;
    total += got;
  }
  QueryPerformanceCounter(&end);
  WSACleanup();
  double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  std::fprintf(stderr, "reference %lld %.6f\n", total, seconds);
  return 0;
}
