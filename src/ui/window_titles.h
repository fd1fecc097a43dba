// Titles that name the product and the program's build date and time.
#pragma once
#include <cstddef>

// "Installation of program %s Build %s %s", cut to fit the buffer.
void formatLicenceTitle(char* buffer, size_t size, const char* product, const char* buildDate,
                        const char* buildTime);
// "Install %s by Internet. %s %s", cut to fit the buffer.
void formatMainTitle(char* buffer, size_t size, const char* product, const char* buildDate,
                     const char* buildTime);
