#include "download/record_list.h"

#include <gtest/gtest.h>

namespace {

void freeNodes(RecordNode* list) {
  while (list) {
    RecordNode* next = list->next;
    delete list;
    list = next;
  }
}

TEST(RecordList, EmptyListIsNoNode) {
  EXPECT_EQ(listCount(nullptr), 0);
  RecordNode* cursor = nullptr;
  EXPECT_EQ(listNext(&cursor, true), nullptr);
  EXPECT_EQ(cursor, nullptr);
}

TEST(RecordList, FirstAppendMakesTheListItsOwnLastNode) {
  int item = 7;
  RecordNode* list = listAppend(nullptr, &item);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->item, &item);
  EXPECT_EQ(list->next, nullptr);
  EXPECT_EQ(list->previous, nullptr);
  EXPECT_EQ(list->last, list);
  EXPECT_EQ(listCount(list), 1);
  freeNodes(list);
}

TEST(RecordList, AppendLinksBothWaysAndKeepsTheFirstNode) {
  int items[4] = {0, 1, 2, 3};
  RecordNode* list = nullptr;
  for (int& item : items) {
    RecordNode* first = listAppend(list, &item);
    if (list) {
      EXPECT_EQ(first, list);
    }
    list = first;
  }
  EXPECT_EQ(listCount(list), 4);
  RecordNode* node = list;
  RecordNode* previous = nullptr;
  for (int& item : items) {
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->item, &item);
    EXPECT_EQ(node->previous, previous);
    previous = node;
    node = node->next;
  }
  EXPECT_EQ(node, nullptr);
  EXPECT_EQ(list->last, previous);
  freeNodes(list);
}

TEST(RecordList, AppendUsesTheLastNodeRecordedInTheFirst) {
  // Appending must link after the recorded last node rather than walk the chain:
  // a list whose recorded last node is set by hand shows which one is used.
  int a = 1, b = 2, c = 3;
  RecordNode* list = listAppend(nullptr, &a);
  list = listAppend(list, &b);
  RecordNode* second = list->next;
  second->next = nullptr;
  list->last = list;  // pretend the first node is the last one
  list = listAppend(list, &c);
  EXPECT_EQ(list->next->item, &c);
  EXPECT_EQ(list->last, list->next);
  EXPECT_EQ(list->next->previous, list);
  freeNodes(list);
  delete second;
}

TEST(RecordList, NextYieldsItemsAndAdvancesOnlyWhenAsked) {
  int a = 1, b = 2;
  RecordNode* list = listAppend(listAppend(nullptr, &a), &b);
  RecordNode* cursor = list;
  EXPECT_EQ(listNext(&cursor, false), &a);
  EXPECT_EQ(cursor, list);
  EXPECT_EQ(listNext(&cursor, true), &a);
  EXPECT_EQ(listNext(&cursor, true), &b);
  EXPECT_EQ(cursor, nullptr);
  EXPECT_EQ(listNext(&cursor, true), nullptr);
  freeNodes(list);
}

TEST(RecordList, NullItemsAreKeptAndCounted) {
  RecordNode* list = listAppend(nullptr, nullptr);
  list = listAppend(list, nullptr);
  EXPECT_EQ(listCount(list), 2);
  RecordNode* cursor = list;
  EXPECT_EQ(listNext(&cursor, true), nullptr);
  EXPECT_NE(cursor, nullptr);
  freeNodes(list);
}

}  // namespace
