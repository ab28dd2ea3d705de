#pragma once
// Message queues between the program's threads, with the semantics the game code relies on:
// every thread that asks for it gets a queue; posting returns at once; sending blocks the sender until
// the receiving thread's handler has returned (a thread waiting in a send still handles messages sent
// to itself, so two threads sending to each other cannot deadlock); WM_QUIT ends a GetMessage loop.
// Windows are handles with a procedure, owned by the thread that created them.
#include <cstdint>

struct cMsgWindow;
using HWND = cMsgWindow*;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND, uint32_t, WPARAM, LPARAM);

struct MSG {
  HWND hwnd = nullptr;
  uint32_t message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_COPYDATA = 0x004A;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_VSCROLL = 0x0115;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_APP = 0x8000;

// Small, stable per-thread number (never 0), like a Windows thread id.
uint32_t GetCurrentThreadId();

// Makes sure the calling thread has a queue (any Peek/Get/Wait call does this too).
void EnsureMessageQueue();
// Removes the calling thread's queue; later posts to its id fail. Called when a thread ends.
void ReleaseMessageQueue();

// Creates a window owned by the calling thread. user is kept for the procedure (GetWindowUserData).
HWND CreateMessageWindow(WNDPROC proc, void* user = nullptr);
// Destroys it (no message is sent); later posts to it fail and sends return 0.
void DestroyMessageWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
void* GetWindowUserData(HWND hwnd);
uint32_t GetWindowThreadId(HWND hwnd);

// Posts to the window's owner thread. A null window posts a thread message to the calling thread.
bool PostMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam);
// Calls the window procedure on its owner thread and waits for the result. 0 when the window is gone.
LRESULT SendMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam);
// Fails (false) when the thread has no queue yet or any more.
bool PostThreadMessage(uint32_t threadId, uint32_t msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Handles pending sent messages, then takes (remove) or looks at the first posted message.
bool PeekMessage(MSG* msg, bool remove);
// Answers the messages other threads have sent to the calling thread and returns; posted messages
// stay queued. Nothing happens on a thread without a queue. A thread that waits for another calls it
// while it waits, so that the other is never left blocked in a send to it.
void HandleSentMessages();
// Blocks until a posted message arrives (handling sent ones meanwhile); false for WM_QUIT.
bool GetMessage(MSG* msg);
// Blocks until something arrives or timeoutMs (real milliseconds) passes; true when something is there.
bool WaitMessage(uint32_t timeoutMs);
// Calls the procedure of msg->hwnd; thread messages (null window) return 0.
LRESULT DispatchMessage(const MSG* msg);
