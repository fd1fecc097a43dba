#include "download/record_list.h"

RecordNode* listAppend(RecordNode* list, void* item) {
  RecordNode* node = new RecordNode{};
  node->item = item;
  node->last = node;
  if (!list) return node;
  // The first node knows the last one, so appending never walks the chain.
  RecordNode* tail = list->last;
  tail->next = node;
  node->previous = tail;
  list->last = node;
  return list;
}

void* listNext(RecordNode** cursor, bool advance) {
  RecordNode* node = *cursor;
  if (!node) return nullptr;
  if (advance) *cursor = node->next;
  return node->item;
}

int listCount(const RecordNode* list) {
  int count = 0;
  for (const RecordNode* node = list; node; node = node->next) ++count;
  return count;
}
