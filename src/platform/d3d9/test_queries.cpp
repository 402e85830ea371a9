// The software device's answers to tests.
#include "platform/d3d9/test_queries.h"

#include <mutex>

#include "platform/d3d9/pixel_resources.h"

namespace d3d9_test {
namespace {

std::mutex g_mutex;
bool g_have_request = false;
DeviceRequest g_request;

}  // namespace

bool last_device_request(DeviceRequest* request) {
  std::lock_guard lock(g_mutex);
  if (g_have_request && request != nullptr) *request = g_request;
  return g_have_request;
}

int calls_after_failed_reset() { return d3d9sw::calls_after_failed_reset(); }
int live_surfaces() { return d3d9sw::Surface::live(); }
int live_textures() { return d3d9sw::Texture::live(); }

void note_device_request(const DeviceRequest& request) {
  std::lock_guard lock(g_mutex);
  g_request = request;
  g_have_request = true;
}

}  // namespace d3d9_test
