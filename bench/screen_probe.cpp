// Times what a user sees on an X server, for any program alike: the screen
// is read through shared memory and compared until a region changes.
//
//   screen_probe keys X Y W H RUNS KEY1 KEY2
//       RUNS times: KEY1 is pressed and released through XTest, and the
//       time until the region shows a change is taken; then KEY2 (which
//       undoes KEY1), with the region left to settle. Prints the median
//       and the extremes in ms.
//   screen_probe start X Y W H -- PROGRAM ARGS...
//       Starts PROGRAM and prints the ms from its start to the region's
//       last change before a second without any, then ends it.
//   screen_probe chord X Y W H KEY...
//       Presses the keys together (a chord such as Control_L a) and prints
//       the ms until the region changes, or 0 after two seconds without.
//
// Keys are X keysym names (a, BackSpace, Control_L). The region is in root
// window coordinates.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class ScreenArea {
 public:
  ScreenArea(Display* display, int x, int y, int width, int height)
      : display_(display), x_(x), y_(y) {
    const int screen = DefaultScreen(display);
    image_ = XShmCreateImage(display, DefaultVisual(display, screen),
                             static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, nullptr,
                             &shm_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    shm_.shmid = shmget(
        IPC_PRIVATE,
        static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(image_->height),
        IPC_CREAT | 0600);
    shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    shm_.readOnly = False;
    XShmAttach(display, &shm_);
    shmctl(shm_.shmid, IPC_RMID, nullptr);
  }
  ~ScreenArea() {
    XShmDetach(display_, &shm_);
    shmdt(shm_.shmaddr);
  }
  ScreenArea(const ScreenArea&) = delete;
  ScreenArea& operator=(const ScreenArea&) = delete;

  // The region's pixels now.
  std::string Grab() {
    XShmGetImage(display_, DefaultRootWindow(display_), image_, x_, y_, AllPlanes);
    return {image_->data, static_cast<std::size_t>(image_->bytes_per_line) *
                              static_cast<std::size_t>(image_->height)};
  }

  // Polls until the pixels differ from `before`, or `limitMs` passes.
  bool WaitForChange(const std::string& before, double limitMs, Clock::time_point start) {
    while (MsSince(start) < limitMs) {
      if (Grab() != before) return true;
    }
    return false;
  }

  // Polls until nothing has changed for `quietMs`; returns when the last
  // change was seen, in ms from `start`.
  double Settle(double quietMs, Clock::time_point start) {
    std::string last = Grab();
    double changed = 0;
    Clock::time_point since = Clock::now();
    while (MsSince(since) < quietMs) {
      std::string now = Grab();
      if (now != last) {
        changed = MsSince(start);
        since = Clock::now();
        last = std::move(now);
      }
    }
    return changed;
  }

 private:
  Display* display_;
  int x_;
  int y_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
};

void Key(Display* display, const char* name, bool press) {
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name));
  XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
  XFlush(display);
}

int Keys(Display* display, ScreenArea& region, int runs, const char* key, const char* undo) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    region.Settle(300, Clock::now());
    const std::string before = region.Grab();
    const Clock::time_point start = Clock::now();
    Key(display, key, true);
    Key(display, key, false);
    if (region.WaitForChange(before, 2000, start)) times.push_back(MsSince(start));
    region.Settle(300, Clock::now());
    Key(display, undo, true);
    Key(display, undo, false);
  }
  if (times.empty()) {
    std::puts("no change seen");
    return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("key %s to a changed screen, ms: min %.2f, median %.2f, max %.2f (%zu runs)\n", key,
              times.front(), times[times.size() / 2], times.back(), times.size());
  return 0;
}

int Start(ScreenArea& region, char** program) {
  const std::string empty = region.Grab();
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(program[0], program);
    _exit(127);
  }
  if (!region.WaitForChange(empty, 60000, start)) {
    std::puts("no change seen");
  } else {
    const double first = MsSince(start);
    std::printf("start to the last change of the screen, ms: %.0f\n",
                std::max(first, region.Settle(1000, start)));
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  return 0;
}

int Chord(Display* display, ScreenArea& region, int count, char** keys) {
  region.Settle(300, Clock::now());
  const std::string before = region.Grab();
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) Key(display, keys[i], true);
  for (int i = count - 1; i >= 0; --i) Key(display, keys[i], false);
  const bool changed = region.WaitForChange(before, 2000, start);
  std::printf("chord to a changed screen, ms: %.2f\n", changed ? MsSince(start) : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fputs("usage: screen_probe keys|start|chord X Y W H ...\n", stderr);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs("screen_probe: no X display\n", stderr);
    return 1;
  }
  ScreenArea region(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                    std::atoi(argv[5]));
  const std::string mode = argv[1];
  if (mode == "keys" && argc == 9)
    return Keys(display, region, std::atoi(argv[6]), argv[7], argv[8]);
  if (mode == "start" && argc > 7 && std::strcmp(argv[6], "--") == 0) {
    return Start(region, argv + 7);
  }
  if (mode == "chord" && argc > 6) return Chord(display, region, argc - 6, argv + 6);
  std::fputs("screen_probe: bad arguments\n", stderr);
  return 2;
}
