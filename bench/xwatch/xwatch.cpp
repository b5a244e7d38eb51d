// zorbanix_xwatch TITLE X Y RRGGBB: watches the X server on one connection for the first
// top-level window whose title starts with TITLE to be mapped, then for its pixel (X, Y) to
// take the colour RRGGBB. Prints "ready" once it watches (start the program after that),
// then "mapped WINDOW MS" and "painted MS", times in ms since the epoch; status 1 and
// "timeout" after 20 s. Waits on the server's events; only the pixel is polled, every 5 ms,
// on the same connection, so the server is never flooded with new clients.
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

template <class T>
std::unique_ptr<T, decltype(&std::free)> Owned(T* p) {
  return {p, &std::free};
}

std::string Title(xcb_connection_t* c, xcb_window_t w) {
  auto reply = Owned(xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr));
  if (!reply) return "";
  return {static_cast<const char*>(xcb_get_property_value(reply.get())),
          static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

// The pixel as 0xRRGGBB, or -1 while the window cannot be read.
long Pixel(xcb_connection_t* c, xcb_window_t w, int x, int y) {
  auto reply = Owned(xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, static_cast<int16_t>(x), static_cast<int16_t>(y), 1, 1, ~0u),
      nullptr));
  if (!reply || xcb_get_image_data_length(reply.get()) < 3) return -1;
  const uint8_t* bgr = xcb_get_image_data(reply.get());
  return (static_cast<long>(bgr[2]) << 16) | (bgr[1] << 8) | bgr[0];
}

int Timeout() {
  std::puts("timeout");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: zorbanix_xwatch TITLE X Y RRGGBB\n");
    return 2;
  }
  const std::string title = argv[1];
  const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  const long colour = std::strtol(argv[4], nullptr, 16);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "zorbanix_xwatch: no X display\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::puts("ready");

  const auto deadline = Clock::now() + std::chrono::seconds(20);
  xcb_window_t window = 0;
  while (window == 0) {
    auto event = Owned(xcb_poll_for_event(c));
    if (!event) {
      if (xcb_connection_has_error(c)) return Timeout();
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return Timeout();
      pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left));
      continue;
    }
    if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
    const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
    if (!map->override_redirect && Title(c, map->window).rfind(title, 0) == 0) window = map->window;
  }
  std::printf("mapped %u %lld\n", window, NowMs());
  while (Pixel(c, window, x, y) != colour) {
    if (Clock::now() > deadline) return Timeout();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::printf("painted %lld\n", NowMs());
  xcb_disconnect(c);
  return 0;
}
