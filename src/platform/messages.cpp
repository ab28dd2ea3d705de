#include "platform/messages.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace {

struct Queue;

struct SentMessage {
  MSG msg;
  std::shared_ptr<Queue> sender;  // woken when the reply is ready
  LRESULT result = 0;
  bool done = false;  // guarded by the sender's queue mutex
};

struct Queue {
  uint32_t threadId = 0;
  std::mutex mutex;
  std::condition_variable arrived;  // posted or sent message, or a reply to one of our sends
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool closed = false;
};

struct Registry {
  std::mutex mutex;
  std::map<uint32_t, std::shared_ptr<Queue>> queues;
  std::set<HWND> windows;
};

Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: threads may post during static destruction
  return *r;
}

std::atomic<uint32_t> g_nextThreadId{1};

}  // namespace

struct cMsgWindow {
  WNDPROC proc;
  void* user;
  uint32_t owner;
};

namespace {

void closeQueue(const std::shared_ptr<Queue>& queue);

struct ThreadQueueHolder {
  std::shared_ptr<Queue> queue;
  ~ThreadQueueHolder() { closeQueue(queue); }
};

thread_local uint32_t t_threadId = 0;
thread_local ThreadQueueHolder t_holder;

std::shared_ptr<Queue> queueOf(uint32_t threadId) {
  std::lock_guard lock(registry().mutex);
  auto it = registry().queues.find(threadId);
  return it == registry().queues.end() ? nullptr : it->second;
}

Queue& ownQueue() {
  if (!t_holder.queue) {
    auto q = std::make_shared<Queue>();
    q->threadId = GetCurrentThreadId();
    std::lock_guard lock(registry().mutex);
    registry().queues[q->threadId] = q;
    t_holder.queue = q;
  }
  return *t_holder.queue;
}

bool postTo(uint32_t threadId, const MSG& m) {
  auto q = queueOf(threadId);
  if (!q) return false;
  std::lock_guard lock(q->mutex);
  if (q->closed) return false;
  q->posted.push_back(m);
  q->arrived.notify_all();
  return true;
}

LRESULT callProc(const MSG& m) {
  if (!IsWindow(m.hwnd)) return 0;
  return m.hwnd->proc(m.hwnd, m.message, m.wParam, m.lParam);
}

void reply(const std::shared_ptr<SentMessage>& s, LRESULT r) {
  std::lock_guard lock(s->sender->mutex);
  s->result = r;
  s->done = true;
  s->sender->arrived.notify_all();
}

void closeQueue(const std::shared_ptr<Queue>& queue) {
  if (!queue) return;
  {
    std::lock_guard lock(registry().mutex);
    registry().queues.erase(queue->threadId);
  }
  std::deque<std::shared_ptr<SentMessage>> orphans;
  {
    std::lock_guard lock(queue->mutex);
    queue->closed = true;
    orphans.swap(queue->sent);
  }
  for (auto& s : orphans) reply(s, 0);  // release senders still waiting on us
}

// Runs every message other threads have sent to this one.
void handleSent(Queue& q) {
  for (;;) {
    std::shared_ptr<SentMessage> s;
    {
      std::lock_guard lock(q.mutex);
      if (q.sent.empty()) return;
      s = q.sent.front();
      q.sent.pop_front();
    }
    reply(s, callProc(s->msg));
  }
}

}  // namespace

uint32_t GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
  return t_threadId;
}

void EnsureMessageQueue() { ownQueue(); }

void ReleaseMessageQueue() {
  closeQueue(t_holder.queue);
  t_holder.queue.reset();
}

HWND CreateMessageWindow(WNDPROC proc, void* user) {
  ownQueue();
  HWND w = new cMsgWindow{proc, user, GetCurrentThreadId()};
  std::lock_guard lock(registry().mutex);
  registry().windows.insert(w);
  return w;
}

void DestroyMessageWindow(HWND hwnd) {
  std::lock_guard lock(registry().mutex);
  if (registry().windows.erase(hwnd)) delete hwnd;
}

bool IsWindow(HWND hwnd) {
  if (!hwnd) return false;
  std::lock_guard lock(registry().mutex);
  return registry().windows.count(hwnd) != 0;
}

void* GetWindowUserData(HWND hwnd) { return IsWindow(hwnd) ? hwnd->user : nullptr; }
uint32_t GetWindowThreadId(HWND hwnd) { return IsWindow(hwnd) ? hwnd->owner : 0; }

bool PostMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) {
    ownQueue();
    return postTo(GetCurrentThreadId(), MSG{nullptr, msg, wParam, lParam});
  }
  uint32_t owner = GetWindowThreadId(hwnd);
  if (!owner) return false;
  return postTo(owner, MSG{hwnd, msg, wParam, lParam});
}

bool PostThreadMessage(uint32_t threadId, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  return postTo(threadId, MSG{nullptr, msg, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
  ownQueue();
  postTo(GetCurrentThreadId(), MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT SendMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  uint32_t owner = GetWindowThreadId(hwnd);
  if (!owner) return 0;
  MSG m{hwnd, msg, wParam, lParam};
  if (owner == GetCurrentThreadId()) return callProc(m);
  auto target = queueOf(owner);
  if (!target) return 0;
  Queue& self = ownQueue();
  auto s = std::make_shared<SentMessage>();
  s->msg = m;
  s->sender = t_holder.queue;
  {
    std::lock_guard lock(target->mutex);
    if (target->closed) return 0;
    target->sent.push_back(s);
    target->arrived.notify_all();
  }
  for (;;) {
    handleSent(self);  // the receiver may send back to us while we wait
    std::unique_lock lock(self.mutex);
    if (s->done) return s->result;
    self.arrived.wait(lock, [&] { return s->done || !self.sent.empty(); });
    if (s->done) return s->result;
  }
}

bool PeekMessage(MSG* msg, bool remove) {
  Queue& q = ownQueue();
  handleSent(q);
  std::lock_guard lock(q.mutex);
  if (q.posted.empty()) return false;
  *msg = q.posted.front();
  if (remove) q.posted.pop_front();
  return true;
}

void HandleSentMessages() {
  if (t_holder.queue) handleSent(*t_holder.queue);
}

bool GetMessage(MSG* msg) {
  Queue& q = ownQueue();
  for (;;) {
    handleSent(q);
    std::unique_lock lock(q.mutex);
    if (!q.posted.empty()) {
      *msg = q.posted.front();
      q.posted.pop_front();
      return msg->message != WM_QUIT;
    }
    q.arrived.wait(lock, [&] { return !q.posted.empty() || !q.sent.empty(); });
  }
}

bool WaitMessage(uint32_t timeoutMs) {
  Queue& q = ownQueue();
  std::unique_lock lock(q.mutex);
  return q.arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return !q.posted.empty() || !q.sent.empty(); });
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return callProc(*msg);
}
