// The Windows error text as the engine puts it together, and the check that keeps
// every write inside the download root.
#include <gtest/gtest.h>

#include "engine/engine_texts.h"
#include "engine/path_inside_root.h"

TEST(EngineTexts, WindowsErrorTextCarriesTheDegreeSignAndTheFirstLineOnly) {
  EXPECT_EQ("Error Windows n\xB0" "5\nAccess denied.", formatWindowsErrorText(5, "Access denied.\r\nMore\r\n"));
  EXPECT_EQ("Error Windows n\xB0" "-2147024891\nNo end", formatWindowsErrorText(-2147024891, "No end"));
  EXPECT_EQ("Error Windows n\xB0" "32\n", formatWindowsErrorText(32, "\r\n"));
}

TEST(PathInsideRoot, OnlyWhatLiesBelowTheRootIsInside) {
  EXPECT_TRUE(isPathInsideRoot("C:\\Temp\\Root", "C:\\Temp\\Root\\a.bin"));
  EXPECT_TRUE(isPathInsideRoot("C:\\Temp\\Root\\", "c:\\temp\\ROOT\\data\\a.bin"));
  EXPECT_TRUE(isPathInsideRoot("C:\\Temp\\Root", "C:/Temp/Root/a.bin"));
  for (const char* outside : {"C:\\Temp\\Rooted\\a.bin", "C:\\Temp\\Roox\\a.bin", "C:\\Temp\\Root", "C:\\Temp\\Root\\",
                              "C:\\Temp\\a.bin",
                              "C:\\Temp\\Root\\\\a.bin"})
    EXPECT_FALSE(isPathInsideRoot("C:\\Temp\\Root", outside)) << outside;
  EXPECT_FALSE(isPathInsideRoot("", "C:\\a.bin"));
}
