#pragma once
// Installs a seam's hooks for one test and puts back the ones they replaced when it ends:
//   cHooksGuard guard(SetUiHooks, hooks);
// Every seam has a hooks struct and a setter that returns the previous hooks (see the README, State
// and hooks); the guard takes that setter.
template <class Hooks>
class cHooksGuard {
 public:
  cHooksGuard(Hooks (*set)(const Hooks&), const Hooks& hooks) : m_pfnSet(set), m_Previous(set(hooks)) {}
  ~cHooksGuard() { m_pfnSet(m_Previous); }
  cHooksGuard(const cHooksGuard&) = delete;
  cHooksGuard& operator=(const cHooksGuard&) = delete;

 private:
  Hooks (*m_pfnSet)(const Hooks&);
  Hooks m_Previous;
};
