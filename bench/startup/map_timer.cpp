// Runs a program and measures its start-up as a user sees it: the time from starting it to the
// X server mapping its first top-level window, and the peak resident memory of the process up to
// a short settling time after that. Prints on one line "<milliseconds> <peak RSS>" and then the
// resident memory at the end of the settling time split into anonymous (the program's own heap
// and stacks) and file-backed pages (shared libraries, fonts), all in KiB, from /proc.
//
// The map is observed as a MapNotify on the root window (SubstructureNotifyMask), which the server
// sends as it maps the window, so the figure does not depend on polling; override-redirect windows
// (menus, tooltips) are not the program's main window and are skipped. The clock is
// CLOCK_MONOTONIC, read just before fork. Peak memory is ru_maxrss from wait4 after the program
// has been stopped with SIGTERM.
//
// Usage: map_timer [-s SETTLE_MS] [-t TIMEOUT_MS] PROGRAM [ARGS...]   (needs DISPLAY)
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

int Usage(const char* self) {
  std::fprintf(stderr, "usage: %s [-s SETTLE_MS] [-t TIMEOUT_MS] PROGRAM [ARGS...]\n", self);
  return 2;
}

// Waits for the first map of a managed top-level window; returns its time, or a negative value
// when the program exits first or nothing is mapped before the deadline.
double WaitForMap(Display* display, Window root, pid_t child, double deadline) {
  const int fd = ConnectionNumber(display);
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) {
        return NowMs();
      }
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "map_timer: the program ended before showing a window (status %d)\n",
                   status);
      return -1;
    }
    const double left = deadline - NowMs();
    if (left <= 0) {
      std::fprintf(stderr, "map_timer: no window was mapped in time\n");
      return -1;
    }
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
  }
}

// Reads the value (KiB) of field `name` from /proc/<pid>/status; -1 if it is not there.
long StatusKib(pid_t pid, const char* name) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
  FILE* file = std::fopen(path, "r");
  if (file == nullptr) {
    return -1;
  }
  char line[256];
  long value = -1;
  const std::size_t length = std::strlen(name);
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
      value = std::strtol(line + length + 1, nullptr, 10);
      break;
    }
  }
  std::fclose(file);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  long settle_ms = 300;
  long timeout_ms = 30000;
  int opt = 0;
  while ((opt = getopt(argc, argv, "+s:t:")) != -1) {
    if (opt == 's') {
      settle_ms = std::strtol(optarg, nullptr, 10);
    } else if (opt == 't') {
      timeout_ms = std::strtol(optarg, nullptr, 10);
    } else {
      return Usage(argv[0]);
    }
  }
  if (optind >= argc) {
    return Usage(argv[0]);
  }

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "map_timer: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const double start = NowMs();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("map_timer: fork");
    return 1;
  }
  if (child == 0) {
    close(ConnectionNumber(display));
    execvp(argv[optind], argv + optind);
    std::fprintf(stderr, "map_timer: cannot run %s: %s\n", argv[optind], std::strerror(errno));
    _exit(127);
  }

  const double mapped = WaitForMap(display, root, child, start + static_cast<double>(timeout_ms));
  if (mapped >= 0 && settle_ms > 0) {
    usleep(static_cast<useconds_t>(settle_ms) * 1000);
  }
  const long anon_kib = StatusKib(child, "RssAnon");
  const long file_kib = StatusKib(child, "RssFile");
  kill(child, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  XCloseDisplay(display);
  if (mapped < 0) {
    return 1;
  }
  std::printf("%.3f %ld %ld %ld\n", mapped - start, usage.ru_maxrss, anon_kib, file_kib);
  return 0;
}
