#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "console_window_fixture.h"

namespace {

using Keystroke = std::pair<UINT, WPARAM>;  // WM_KEYDOWN with a virtual key, or WM_CHAR
Keystroke key(WPARAM virtualKey) { return {WM_KEYDOWN, virtualKey}; }
Keystroke ch(char c) { return {WM_CHAR, static_cast<unsigned char>(c)}; }
std::vector<Keystroke> text(const char* s) {
  std::vector<Keystroke> keys;
  for (; *s; ++s) keys.push_back(ch(*s));
  return keys;
}
std::vector<Keystroke> operator+(std::vector<Keystroke> a, const std::vector<Keystroke>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void post(HWND console, const std::vector<Keystroke>& keys) {
  for (const Keystroke& k : keys) PostMessageA(console, k.first, k.second, 0);
}

// Types the keys into readLine(width, filter) as a person would, and answers
// what readLine answered.
LRESULT readLine(HWND console, int width, int filter, char* buffer,
                 const std::vector<Keystroke>& keys) {
  post(console, keys);
  return SendMessageA(console, kReadLine, static_cast<WPARAM>(width + filter * 4096),
                      reinterpret_cast<LPARAM>(buffer));
}

const Keystroke kEnter = ch('\r');

TEST(ConsoleKeys, KeysQueueAsCodesAndPollKeyTakesThemInOrder) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  post(c, {ch('a'), key(VK_LEFT), key(VK_RIGHT), key(VK_DELETE), key(VK_HOME), key(VK_END),
           key(VK_INSERT), key(VK_F1), ch('\x02')});
  ConsoleWindow::pump();
  EXPECT_EQ(pollKey(c), 255);  // no active screen: nothing was queued
  w.prepareInstallerScreen();
  post(c, {ch('a'), key(VK_LEFT), key(VK_RIGHT), key(VK_DELETE), key(VK_HOME), key(VK_END),
           key(VK_INSERT), key(VK_F1), ch('\x02')});
  ConsoleWindow::pump();
  for (int expected : {int{'a'}, 1, 2, 3, 4, 5, 6, 2}) EXPECT_EQ(pollKey(c), expected);
  EXPECT_EQ(pollKey(c), 0);
}

TEST(ConsoleKeys, TheQueueHolds255KeysAndLosesTheRest) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  for (int i = 0; i < 300; ++i) SendMessageA(c, WM_CHAR, 'A' + i % 26, 0);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(pollKey(c), 'A' + i % 26) << i;
  EXPECT_EQ(pollKey(c), 0);
}

TEST(ConsoleKeys, ReadKeyWaitsServingMessagesAndEndsWhenTheConsoleCloses) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  post(c, {ch('k')});
  EXPECT_EQ(SendMessageA(c, kReadKey, 0, 0), 'k');
  PostMessageA(c, WM_CLOSE, 0, 0);  // destroys the console inside the wait
  EXPECT_EQ(SendMessageA(c, kReadKey, 0, 0), 0);
  EXPECT_FALSE(IsWindow(c));
}

TEST(ConsoleKeys, ReadKeyHandsQuitBackToTheOuterLoop) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  PostQuitMessage(7);
  EXPECT_EQ(SendMessageA(w.hwnd(), kReadKey, 0, 0), 0);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(ConsoleLineEditing, DigitFilterKeepsDigitsOnly) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  printText(c, 0, "Number: ");
  char buffer[16] = "12";
  EXPECT_EQ(readLine(c, 10, 2, buffer,
                     {key(VK_RIGHT), key(VK_RIGHT), ch('a'), ch('3'), key(VK_END), ch('x'), kEnter}),
            1);
  EXPECT_STREQ(buffer, "123");
  EXPECT_EQ(w.row(0, 0).substr(0, 12), "Number: 123 ");
  EXPECT_EQ(w.screen(0)->cursorCol, 0);
  EXPECT_EQ(w.screen(0)->cursorRow, 1);
}

TEST(ConsoleLineEditing, HexAndUpperCaseFilters) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char hex[16] = "";
  EXPECT_EQ(readLine(c, 8, 3, hex, text("0a1gF z") + std::vector<Keystroke>{kEnter}), 1);
  EXPECT_STREQ(hex, "0A1F");
  char upper[16] = "";
  EXPECT_EQ(readLine(c, 8, 4, upper, text("ab-c9") + std::vector<Keystroke>{kEnter}), 1);
  EXPECT_STREQ(upper, "AB-C9");
}

TEST(ConsoleLineEditing, InsertAndOverwrite) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char buffer[16] = "abc";
  EXPECT_EQ(readLine(c, 8, 0, buffer,
                     {key(VK_END), ch('X'), ch('Y'), key(VK_HOME), ch('0'), key(VK_INSERT), ch('Q'),
                      kEnter}),
            1);
  EXPECT_STREQ(buffer, "0QbXY");
  EXPECT_EQ(w.row(0, 0).substr(0, 9), "0QbXY    ");
}

TEST(ConsoleLineEditing, BackspaceAndDelete) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char buffer[16] = "abcd";
  EXPECT_EQ(readLine(c, 6, 0, buffer,
                     {ch('\b'), key(VK_END), key(VK_DELETE), key(VK_HOME), key(VK_DELETE), kEnter}),
            1);
  EXPECT_STREQ(buffer, "bc");
  // Backspace just after the text blanks that one cell on the screen.
  char second[16] = "xyz";
  setCursor(c, 0, 20, 5);
  EXPECT_EQ(readLine(c, 6, 0, second, {key(VK_END), key(VK_RIGHT), ch('\b'), kEnter}), 1);
  EXPECT_STREQ(second, "xy");
  EXPECT_EQ(w.row(0, 5).substr(20, 4), "xy  ");
}

TEST(ConsoleLineEditing, EnterOnSpacesGivesOneSpaceAndEscapeLeavesTheBuffer) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char blank[8] = "";
  EXPECT_EQ(readLine(c, 5, 0, blank, {kEnter}), 1);
  EXPECT_STREQ(blank, " ");
  char kept[8] = "keep";
  EXPECT_EQ(readLine(c, 5, 0, kept, text("zz") + std::vector<Keystroke>{ch('\x1b')}), 0);
  EXPECT_STREQ(kept, "keep");
  EXPECT_EQ(w.screen(0)->cursorRow, 2);
}

TEST(ConsoleLineEditing, AFullLineIgnoresTypingAndTheBufferGetsWidthPlusOneBytes) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  buffer[0] = '\0';
  EXPECT_EQ(readLine(c, 3, 0, buffer, text("xyzw") + std::vector<Keystroke>{kEnter}), 1);
  EXPECT_EQ(std::string(buffer, 5), std::string("xyz\0#", 5));
  // Inserting into the middle of a full line loses its last character.
  char full[8] = "abcd";
  EXPECT_EQ(readLine(c, 4, 0, full, {key(VK_RIGHT), ch('X'), kEnter}), 1);
  EXPECT_STREQ(full, "aXbc");
}

TEST(ConsoleLineEditing, ControlCharactersInTheCallersTextShowAsSpaces) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char buffer[16] = "a\tb";
  EXPECT_EQ(readLine(c, 6, 0, buffer, {kEnter}), 1);
  EXPECT_STREQ(buffer, "a b");
}

TEST(ConsoleLineEditing, ClosingTheConsoleEndsTheLineWithZero) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  char buffer[8] = "same";
  EXPECT_EQ(readLine(c, 6, 0, buffer, text("ab") + std::vector<Keystroke>{{WM_CLOSE, 0}}), 0);
  EXPECT_STREQ(buffer, "same");
  EXPECT_FALSE(IsWindow(c));
}

TEST(ConsoleLineEditing, DeletingTheScreenDuringTheWaitEndsTheLine) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  PostMessageA(c, kDeleteScreen, 0, 0);
  PostMessageA(c, WM_CHAR, 'q', 0);
  char buffer[8] = "";
  EXPECT_EQ(SendMessageA(c, kReadLine, 6, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(getActiveScreen(c), -1);
}

}  // namespace
