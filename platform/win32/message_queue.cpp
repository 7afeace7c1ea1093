// The thread's message queue: PeekMessageA, TranslateMessage,
// DispatchMessageA, PostQuitMessage. Posted messages sit in a fixed ring (a
// frame peeks every time round, so nothing is allocated per call). The
// windowing system's events become messages when PeekMessageA pumps them
// (PumpWindowEvents): key presses, window close requests and focus changes.
// Limits: one thread; no sent (cross-window) messages, timers or WM_PAINT;
// the ring drops new messages when full (Windows' PostMessage fails then).
#include "platform_hooks.h"
#include "win32/win32_internal.h"

#include <mmsystem.h>

namespace platform {
namespace {

constexpr size_t kQueueCapacity = 512;

struct MessageQueue {
  MSG m_ring[kQueueCapacity];
  size_t m_head = 0;  // oldest message
  size_t m_count = 0;
  bool m_quitPosted = false;
  int m_exitCode = 0;

  MSG& At(size_t i) { return m_ring[(m_head + i) % kQueueCapacity]; }

  // Removes the i-th oldest message, keeping the order of the rest.
  void RemoveAt(size_t i) {
    for (size_t j = i; j + 1 < m_count; ++j) At(j) = At(j + 1);
    --m_count;
    if (m_count == 0) m_head = 0;
  }
};

MessageQueue g_queue;

bool MessageMatches(const MSG& msg, HWND hWnd, UINT filterMin, UINT filterMax) {
  if (hWnd != nullptr && msg.hwnd != hWnd) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

}  // namespace

bool PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_queue.m_count == kQueueCapacity) return false;
  MSG& msg = g_queue.At(g_queue.m_count);
  msg = MSG{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = timeGetTime();
  ++g_queue.m_count;
  return true;
}

void DropWindowMessages(HWND hwnd) {
  for (size_t i = 0; i < g_queue.m_count;) {
    if (g_queue.At(i).hwnd == hwnd)
      g_queue.RemoveAt(i);
    else
      ++i;
  }
}

void ResetMessageQueue() {
  g_queue.m_head = 0;
  g_queue.m_count = 0;
  g_queue.m_quitPosted = false;
  g_queue.m_exitCode = 0;
}

}  // namespace platform

using namespace platform;

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
  if (lpMsg == nullptr) return FALSE;
  PumpWindowEvents();
  for (size_t i = 0; i < g_queue.m_count; ++i) {
    if (!MessageMatches(g_queue.At(i), hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
    *lpMsg = g_queue.At(i);
    if (wRemoveMsg & PM_REMOVE) g_queue.RemoveAt(i);
    return TRUE;
  }
  // WM_QUIT is a flag, not a queued message: it comes once nothing else is
  // left, and only PM_REMOVE takes it away.
  MSG quit{};
  quit.message = WM_QUIT;
  if (g_queue.m_quitPosted && MessageMatches(quit, nullptr, wMsgFilterMin, wMsgFilterMax)) {
    quit.wParam = static_cast<WPARAM>(g_queue.m_exitCode);
    quit.time = timeGetTime();
    *lpMsg = quit;
    if (wRemoveMsg & PM_REMOVE) g_queue.m_quitPosted = false;
    return TRUE;
  }
  return FALSE;
}

// Windows posts WM_CHAR for character keys from here; the program reads keys
// only, so no character messages are made. The result says whether the
// message was a key message, as Windows' does.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  switch (lpMsg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
  }
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  WindowRecord* record = FindWindowRecord(lpMsg->hwnd);
  if (record == nullptr) return 0;  // WM_QUIT, thread messages, stale windows
  return record->m_proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
  g_queue.m_quitPosted = true;
  g_queue.m_exitCode = nExitCode;
}
