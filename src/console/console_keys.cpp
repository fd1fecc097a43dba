// Keyboard input: the key queue, the key wait with its nested message loop, the
// line editor, and the notification thread that runs the user's callback.
#include <cstring>

#include "console/console_state.h"
#include "console/line_editor.h"

namespace {

int queuedCodeOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    case VK_DELETE: return kKeyDelete;
    case VK_HOME: return kKeyHome;
    case VK_END: return kKeyEnd;
    case VK_INSERT: return kKeyInsert;
    default: return 0;
  }
}

bool consoleGoneOrClosing(HWND window) {
  ConsoleState* state = findConsole(window);
  return state == nullptr || state->closing;
}

// Waits for a key of the active screen while serving the thread's messages.
// Answers 0 when the console closes or is destroyed meanwhile, and on WM_QUIT,
// which is posted again so that the loop outside sees it too.
LRESULT waitForKey(HWND window) {
  for (;;) {
    if (consoleGoneOrClosing(window)) return 0;
    LRESULT key = SendMessageA(window, kPollKey, 0, 0);
    if (key & 0xFF) return key;
    MSG message;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return 0;
    }
    if (got < 0) return 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

DWORD WINAPI notifyThreadMain(LPVOID parameter) {
  auto* state = static_cast<ConsoleState*>(parameter);
  HANDLE event = state->notifyEvent.get();  // closed once this thread has ended
  while (!state->closing) {
    WaitForSingleObject(event, INFINITE);
    LPARAM argument = state->notifyArgument;
    ConsoleNotifyCallback callback = state->notifyCallback;
    if (argument != 0 && callback != nullptr && !state->closing) callback(argument);
  }
  return 0;
}

}  // namespace

bool handleKeyDown(HWND window, ConsoleState& state, WPARAM key) {
  if (!state.active) return false;
  if (key == VK_SCROLL) {
    state.active->freeze ^= kFreezeByScrollLock;
    return true;
  }
  if (int code = queuedCodeOf(key)) SendMessageA(window, WM_CHAR, static_cast<WPARAM>(code), 0);
  return false;
}

void handleChar(ConsoleState& state, WPARAM character) {
  if (!state.active) return;
  SetEvent(state.keyEvent.get());
  state.active->keys.push(static_cast<std::uint8_t>(character & 0xFF));
}

LRESULT pollKeyFor(ConsoleState& state) {
  if (!state.active) return 255;
  if (state.closing) return 27;
  return state.active->keys.pop();
}

LRESULT readKeyOn(HWND window) {
  ConsoleState* state = findConsole(window);
  if (state == nullptr || state->active == nullptr) return -1;
  return waitForKey(window);
}

LRESULT readLineOn(HWND window, WPARAM widthAndFilter, char* buffer) {
  ConsoleState* state = findConsole(window);
  if (state == nullptr || state->active == nullptr) return -1;
  ConsoleScreen* screen = state->active;
  const int width = static_cast<int>(widthAndFilter & 0xFFF);
  const int filter = static_cast<int>(widthAndFilter >> 12);
  SetFocus(window);
  LineEditor editor(width, buffer);
  const int slot = screen->index;
  const int startCol = screen->cursorCol, startRow = screen->cursorRow;
  // The lock is taken only around direct changes, never across a wait.
  auto moveCursor = [&](int column) {
    ConsoleLockGuard guard(state->lock);
    screen->cursorCol = column;
    screen->cursorRow = startRow;
  };
  auto printLine = [&] {
    moveCursor(startCol);
    printText(window, slot, editor.line().c_str());
  };
  // Waits run other messages: the console or this screen may be gone afterwards.
  auto screenStillThere = [&] {
    ConsoleState* now = findConsole(window);
    return now != nullptr && !now->closing && now->active == screen;
  };
  printLine();
  for (;;) {
    moveCursor(startCol + editor.position());
    LRESULT raw = waitForKey(window);
    if ((raw & 0xFF) == 0 || !screenStillThere()) return 0;
    switch (editor.apply(filterKey(static_cast<int>(raw & 0xFF), filter))) {
      case LineEditor::Effect::None:
        break;
      case LineEditor::Effect::Reprint:
        printLine();
        break;
      case LineEditor::Effect::EraseCell:
        putCharAt(window, slot, startCol + editor.position(), startRow, ' ', screen->attribute);
        break;
      case LineEditor::Effect::Accept: {
        ConsoleLockGuard guard(state->lock);
        screen->newLine();
        std::string text = editor.result();
        if (buffer) std::memcpy(buffer, text.c_str(), text.size() + 1);
        return 1;
      }
      case LineEditor::Effect::Abandon: {
        ConsoleLockGuard guard(state->lock);
        screen->newLine();
        return 0;
      }
    }
  }
}

void startNotifyThread(ConsoleState& state) {
  state.notifyThread.reset(CreateThread(nullptr, 0, notifyThreadMain, &state, 0, nullptr));
}

void stopNotifyThread(ConsoleState& state) {
  state.notifyArgument = 0;
  SetEvent(state.notifyEvent.get());
  if (state.notifyThread) {
    // The callback may be sending to this window: keep serving sent messages while
    // waiting, or the two threads would wait for each other for ever.
    HANDLE thread = state.notifyThread.get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  state.notifyThread.close();
  state.notifyEvent.close();
}

LRESULT postNotifyTo(ConsoleState& state, LPARAM argument) {
  if (state.notifyCallback == nullptr) return 0;
  state.notifyArgument = argument;
  SetEvent(state.notifyEvent.get());
  return argument;
}
