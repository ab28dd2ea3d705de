#pragma once
// Checked access to the program's vectors and lists. An index outside the collection is a broken
// data or program state: it is written to the report log ("err V[%d] ( %d , %d )" with the index, the
// count and the element size) and makes the fatal stop; the access still yields a valid element
// (element 0, or a per-type placeholder when there is none) so that the frame in progress can finish
// without touching memory outside the collection.
#include <cstdint>
#include <iterator>
#include <list>
#include <vector>

// Writes the range-error line for a vector ('V') or a list ('L') and makes the fatal stop.
void ReportRangeError(char kind, int32_t index, int32_t count, int32_t elementSize);
// Writes the range-error line only: for callers that refuse the access themselves.
void LogRangeError(char kind, int32_t index, int32_t count, int32_t elementSize);

// One element per type, made as the type's constructor makes it, handed out by out-of-range accesses
// that have no element to return.
template <class T>
T& PlaceholderOf() {
  static T placeholder{};
  return placeholder;
}

template <class T, class A>
T& VecAt(std::vector<T, A>& v, int32_t i) {
  if (i >= 0 && static_cast<size_t>(i) < v.size()) return v[static_cast<size_t>(i)];
  ReportRangeError('V', i, static_cast<int32_t>(v.size()), static_cast<int32_t>(sizeof(T)));
  return v.empty() ? PlaceholderOf<T>() : v[0];
}

template <class T, class A>
const T& VecAt(const std::vector<T, A>& v, int32_t i) {
  return VecAt(const_cast<std::vector<T, A>&>(v), i);
}

template <class T, class A>
T& ListAt(std::list<T, A>& l, int32_t i) {
  if (i >= 0 && static_cast<size_t>(i) < l.size()) return *std::next(l.begin(), i);
  ReportRangeError('L', i, static_cast<int32_t>(l.size()), static_cast<int32_t>(sizeof(T)));
  return PlaceholderOf<T>();
}

template <class T, class A>
const T& ListAt(const std::list<T, A>& l, int32_t i) {
  return ListAt(const_cast<std::list<T, A>&>(l), i);
}

// dst takes src's length (new elements made as the type's constructor makes them), then each element
// is assigned in order. Records copy as records: their field tables always describe their own members.
template <class T, class A>
std::vector<T, A>& AssignVector(std::vector<T, A>& dst, const std::vector<T, A>& src) {
  if (&dst == &src) return dst;
  if (dst.size() > src.size()) dst.erase(dst.begin() + static_cast<std::ptrdiff_t>(src.size()), dst.end());
  while (dst.size() < src.size()) dst.emplace_back();
  for (size_t i = 0; i < src.size(); ++i) dst[i] = src[i];
  return dst;
}

// Releases v's storage and fills it with n default elements.
template <class T, class A>
void ResetVector(std::vector<T, A>& v, int32_t n) {
  std::vector<T, A>().swap(v);
  if (n > 0) v.assign(static_cast<size_t>(n), T{});
}

// Leaves v with no storage at all.
template <class T, class A>
void FreeVectorStorage(std::vector<T, A>& v) {
  std::vector<T, A>().swap(v);
}

struct cIntPair {
  int32_t a = 0;
  int32_t b = 0;
  bool operator==(const cIntPair&) const = default;
};

int ContainsPair(const std::vector<cIntPair>& v, const cIntPair& p);

// n = 0 inserts at the front; 0 < n < count before element n; n >= count, and any negative n
// (compared as unsigned), appends.
template <class T, class A>
void ListInsertAt(std::list<T, A>& l, int32_t n, const T& entry) {
  if (static_cast<uint32_t>(n) >= l.size()) {
    l.push_back(entry);
    return;
  }
  l.insert(std::next(l.begin(), n), entry);
}

// Erases element n and returns the position of the node that followed it; a negative n or one not
// below the count changes nothing and returns the end position (the count).
template <class T, class A>
int32_t ListEraseAt(std::list<T, A>& l, int32_t n) {
  if (n < 0 || static_cast<size_t>(n) >= l.size()) return static_cast<int32_t>(l.size());
  l.erase(std::next(l.begin(), n));
  return n;
}

template <class T, class A>
int32_t ListEraseAtObj(std::list<T, A>& l, int32_t n) {
  return ListEraseAt(l, n);
}
