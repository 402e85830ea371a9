// The registry of armed fault points (see fault_registry.h).
#include "platform/fault_registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/fault_points.h"

namespace {

struct Rule {
  int times = 0;  // -1: always
  int after = 0;
  int questions = 0;
};

std::mutex g_mutex;
std::map<std::string, Rule, std::less<>> g_rules;

void require_point(const char* name, const char* control) {
  for (const FaultPoint* known : fault_point::kAll)
    if (name != nullptr && std::strcmp(name, known->name) == 0) return;
  std::fprintf(
      stderr,
      "fault_registry::%s: \"%s\" is not a fault point; the names are listed in platform/fault_points.h\n",
      control, name ? name : "(null)");
  std::abort();
}

}  // namespace

namespace fault_registry {

bool fails_now(const char* name) {
  std::lock_guard lock(g_mutex);
  Rule& rule = g_rules[name];
  ++rule.questions;
  if (rule.after > 0) {
    --rule.after;
    return false;
  }
  if (rule.times == 0) return false;
  if (rule.times > 0) --rule.times;
  return true;
}

void arm(const char* name, int times, int after) {
  require_point(name, "arm");
  std::lock_guard lock(g_mutex);
  Rule& rule = g_rules[name];
  rule.times = times;
  rule.after = after;
}

int questions(const char* name) {
  require_point(name, "questions");
  std::lock_guard lock(g_mutex);
  const auto it = g_rules.find(name);
  return it == g_rules.end() ? 0 : it->second.questions;
}

void clear() {
  std::lock_guard lock(g_mutex);
  g_rules.clear();
}

}  // namespace fault_registry
