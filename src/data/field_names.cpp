#include "data/field_names.h"

#include <mutex>
#include <set>
#include <string>

const char* IndexedFieldName(const char* base, int index) {
  // Interned: descriptors keep the pointer for as long as the program runs.
  static std::mutex lock;
  static std::set<std::string> names;
  std::lock_guard<std::mutex> guard(lock);
  return names.insert(std::string(base) + "[" + std::to_string(index) + "]").first->c_str();
}
