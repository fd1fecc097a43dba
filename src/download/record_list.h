// The record list: a chain of nodes known by its first node; an empty list is no node.
#pragma once

struct RecordNode {
  void* item;
  RecordNode* next;
  RecordNode* previous;
  RecordNode* last;  // kept up to date in the first node only
};

// Appends without walking the chain; returns the first node.
RecordNode* listAppend(RecordNode* list, void* item);
// Yields the cursor's item (nullptr at no node) and, if `advance`, moves to the next node.
void* listNext(RecordNode** cursor, bool advance);
// Number of nodes, by walking the chain.
int listCount(const RecordNode* list);
