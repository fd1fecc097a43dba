#include <gtest/gtest.h>

#include "services/message_box.h"
#include "support/scripted_message_box.h"

TEST(MessageBoxSeam, ConfirmationBoxAsksYesNoAndReadsTheAnswer) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES, IDNO});
  EXPECT_TRUE(askConfirmation(nullptr, "first?"));
  EXPECT_FALSE(askConfirmation(nullptr, "second?"));
  auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "first?");
  EXPECT_EQ(shown[0].caption, "Installer Confirmation");
  EXPECT_EQ(shown[0].flags, UINT(MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_YESNO));
  EXPECT_EQ(shown[0].owner, nullptr);
}

TEST(MessageBoxSeam, AnswerOtherThanYesIsNo) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDCANCEL});
  EXPECT_FALSE(askConfirmation(nullptr, "q"));
  EXPECT_EQ(boxes.unanswered(), 0u);
}
