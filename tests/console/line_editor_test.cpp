#include <gtest/gtest.h>

#include "console/line_editor.h"

namespace {

using Effect = LineEditor::Effect;

// Types every character of `keys` through the filter, as the console does.
void type(LineEditor& editor, const std::string& keys, int filter = 0) {
  for (char c : keys) {
    int key = filterKey(static_cast<unsigned char>(c), filter);
    if (key != 0) editor.apply(key);
  }
}

TEST(ConsoleLineFilter, FiltersKeepEditingKeysAndShapeTheRest) {
  for (int filter : {0, 2, 3, 4})
    for (int key : {0, 1, 2, 3, 4, 8, 13, 27}) EXPECT_EQ(filterKey(key, filter), key);
  EXPECT_EQ(filterKey('7', 2), '7');
  EXPECT_EQ(filterKey('a', 2), 0);
  EXPECT_EQ(filterKey(kKeyEnd, 2), 0);
  EXPECT_EQ(filterKey(kKeyInsert, 3), 0);
  EXPECT_EQ(filterKey('f', 3), 'F');
  EXPECT_EQ(filterKey('g', 3), 0);
  EXPECT_EQ(filterKey('B', 3), 'B');
  EXPECT_EQ(filterKey('9', 3), '9');
  EXPECT_EQ(filterKey('z', 4), 'Z');
  EXPECT_EQ(filterKey('-', 4), '-');
  EXPECT_EQ(filterKey(kKeyEnd, 4), kKeyEnd);
  EXPECT_EQ(filterKey('z', 1), 'z');
  EXPECT_EQ(filterKey(200, 0), 200);
}

TEST(ConsoleLineEditor, StartsFromTheCallersTextWithControlsAsSpaces) {
  LineEditor editor(6, "a\tbcdefgh");
  EXPECT_EQ(editor.line(), "a bcde");
  LineEditor padded(5, "xy");
  EXPECT_EQ(padded.line(), "xy   ");
  EXPECT_TRUE(padded.insertMode());
  EXPECT_EQ(padded.position(), 0);
}

TEST(ConsoleLineEditor, DigitFilterAppendsDigitsAndIgnoresLettersAndEnd) {
  LineEditor editor(8, "12");
  editor.apply(kKeyRight);
  editor.apply(kKeyRight);
  ASSERT_EQ(editor.position(), 2);
  type(editor, "a", 2);
  EXPECT_EQ(editor.line(), "12      ");
  type(editor, "3", 2);
  EXPECT_EQ(editor.line(), "123     ");
  EXPECT_EQ(filterKey(kKeyEnd, 2), 0);
  EXPECT_EQ(editor.result(), "123");
}

TEST(ConsoleLineEditor, RightStopsOnePastTheLastCharacterAndEndGoesOntoIt) {
  LineEditor editor(8, "abc");
  for (int i = 0; i < 6; ++i) editor.apply(kKeyRight);
  EXPECT_EQ(editor.position(), 3);
  editor.apply(kKeyEnd);
  EXPECT_EQ(editor.position(), 2);
  editor.apply(kKeyHome);
  EXPECT_EQ(editor.position(), 0);
  editor.apply(kKeyLeft);
  EXPECT_EQ(editor.position(), 0);
}

TEST(ConsoleLineEditor, InsertModeReplacesTheLastCharacterAndAppendsAfterIt) {
  LineEditor editor(8, "abc");
  editor.apply(kKeyEnd);
  EXPECT_EQ(editor.apply('X'), Effect::Reprint);
  EXPECT_EQ(editor.line(), "abX     ");
  editor.apply('Y');
  EXPECT_EQ(editor.line(), "abXY    ");
  editor.apply(kKeyHome);
  editor.apply('0');
  EXPECT_EQ(editor.line(), "0abXY   ");
  EXPECT_EQ(editor.position(), 1);
}

TEST(ConsoleLineEditor, OverwriteModeReplacesInTheMiddle) {
  LineEditor editor(6, "abcd");
  editor.apply(kKeyInsert);
  EXPECT_FALSE(editor.insertMode());
  editor.apply(kKeyRight);
  editor.apply('Z');
  EXPECT_EQ(editor.line(), "aZcd  ");
}

TEST(ConsoleLineEditor, TypingIntoAFullLineLosesItsLastCharacterAndAtTheEndIsIgnored) {
  LineEditor editor(4, "abcd");
  editor.apply(kKeyRight);
  editor.apply('X');
  EXPECT_EQ(editor.line(), "aXbc");
  LineEditor full(3, "");
  type(full, "xyz");
  EXPECT_EQ(full.position(), 3);
  EXPECT_EQ(full.apply('w'), Effect::None);
  EXPECT_EQ(full.line(), "xyz");
}

TEST(ConsoleLineEditor, BackspaceAndDelete) {
  LineEditor editor(6, "abcd");
  EXPECT_EQ(editor.apply(kKeyBackspace), Effect::None);  // at position 0
  EXPECT_EQ(editor.line(), "abcd  ");
  editor.apply(kKeyEnd);
  EXPECT_EQ(editor.apply(kKeyDelete), Effect::Reprint);  // on the last character
  EXPECT_EQ(editor.line(), "abc   ");
  editor.apply(kKeyHome);
  editor.apply(kKeyDelete);
  EXPECT_EQ(editor.line(), "bc    ");
  editor.apply(kKeyRight);
  editor.apply(kKeyRight);
  ASSERT_EQ(editor.position(), 2);
  // Backspace right after the last character blanks just that cell.
  EXPECT_EQ(editor.apply(kKeyBackspace), Effect::EraseCell);
  EXPECT_EQ(editor.position(), 1);
  EXPECT_EQ(editor.line(), "b     ");
  LineEditor middle(6, "abcd");
  middle.apply(kKeyRight);
  middle.apply(kKeyRight);
  EXPECT_EQ(middle.apply(kKeyBackspace), Effect::Reprint);
  EXPECT_EQ(middle.line(), "acd   ");
  EXPECT_EQ(middle.position(), 1);
}

TEST(ConsoleLineEditor, BackspaceBeyondTheTextNeverEatsAnEarlierCharacter) {
  LineEditor editor(8, "a b");
  editor.apply(kKeyEnd);
  editor.apply(kKeyDelete);  // "a" left, position 2 now two past it
  ASSERT_EQ(editor.line(), "a       ");
  ASSERT_EQ(editor.position(), 2);
  editor.apply(kKeyBackspace);
  EXPECT_EQ(editor.line(), "a       ");
  EXPECT_EQ(editor.position(), 1);
}

TEST(ConsoleLineEditor, EnterGivesTheTextWithoutTrailingSpaces) {
  LineEditor blank(5, "");
  EXPECT_EQ(blank.apply(kKeyEnter), Effect::Accept);
  EXPECT_EQ(blank.result(), " ");
  LineEditor words(10, "ab c  ");
  EXPECT_EQ(words.result(), "ab c");
  EXPECT_EQ(words.apply(kKeyEscape), Effect::Abandon);
  LineEditor none(0, "abc");
  none.apply(kKeyRight);
  EXPECT_EQ(none.position(), 0);
  EXPECT_EQ(none.apply('x'), Effect::None);
  EXPECT_EQ(none.apply(kKeyDelete), Effect::Reprint);
  EXPECT_EQ(none.result(), "");
}

}  // namespace
