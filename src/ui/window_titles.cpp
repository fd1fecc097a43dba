#include "ui/window_titles.h"

#include <cstdio>

void formatLicenceTitle(char* buffer, size_t size, const char* product, const char* buildDate,
                        const char* buildTime) {
  if (!size) return;
  std::snprintf(buffer, size, "Installation of program %s Build %s %s", product, buildDate,
                buildTime);
}

void formatMainTitle(char* buffer, size_t size, const char* product, const char* buildDate,
                     const char* buildTime) {
  if (!size) return;
  std::snprintf(buffer, size, "Install %s by Internet. %s %s", product, buildDate, buildTime);
}
