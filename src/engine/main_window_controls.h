// The main window's controls as the worker threads change them: the status line, the
// file-count bar and the two buttons that start and end a run. Safe from any thread
// (each call is one message to the main window's thread).
#pragma once

void setStatusLine(const char* text);
// Shows the bar with the range 0..count.
void showFileCountBar(int count);
void setFileCountPosition(int position);
// The flows' walk over the file list: position p of 0..last, once per file. Each move
// waits for the main thread, which costs more than a small file's work, so the bar
// is moved at most every 50 ms; the last position is always shown.
void stepFileCountBar(int position, int last);
// Buttons "Download ..." (1000) and Exit (1).
void enableDownloadButton(bool enable);
void enableExitButton(bool enable);
