// The game window on a real X server: qc4 opens its window on the demo game on a virtual X server
// of this test's own (Xvfb, on a free display number it picks itself) and shows the title. The
// window's client area, read back through the X server, must be the picture the run's frame dump
// holds, pixel for pixel. Every other test runs headless or on SDL's dummy video driver, where
// nothing is presented; this one catches what only a real window shows: a picture scaled, shifted,
// in another colour order, or an older frame than the last one shown.
//
// The title is still once it has faded in, so the window shows the same picture from then until the
// run ends. The test waits for the window to show the title as a headless run draws it (polling, so
// a slow machine only takes longer), ends the run with SIGTERM, which writes the frame dump, and
// compares that dump with the window's picture.
//
// Xvfb comes from scripts/deps (package xvfb); without it the test fails and says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/png_writer.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

// Xlib last: its macros (None, Bool, Status, ...) would clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 640, kHeight = 480;
// Generous: a sanitizer build on a busy machine starts slowly; a passing run takes a few seconds.
constexpr auto kWaitForTitle = std::chrono::seconds(90);
constexpr auto kWaitForExit = std::chrono::seconds(60);

// A picture as 0x00RRGGBB pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

bool readPng(const fs::path& path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  picture = Picture{static_cast<int>(image.width), static_cast<int>(image.height), std::move(pixels)};
  return true;
}

// How the window's picture differs from a frame in the colour bits of `kept`, in words; empty when
// it is the same. A zoomed window shows each pixel of the frame as a square of whole pixels.
std::string difference(const Picture& window, const Picture& frame, uint32_t kept) {
  const int zoom = frame.width > 0 ? window.width / frame.width : 0;
  if (zoom < 1 || window.width != frame.width * zoom || window.height != frame.height * zoom) {
    std::ostringstream out;
    out << "the window shows " << window.width << "x" << window.height << ", the frame is " << frame.width << "x"
        << frame.height;
    return out.str();
  }
  size_t count = 0;
  int firstX = 0, firstY = 0;
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x)
      if (((window.pixels[static_cast<size_t>(y) * window.width + x] ^
            frame.pixels[static_cast<size_t>(y / zoom) * frame.width + x / zoom]) &
           kept) != 0 &&
          count++ == 0) {
        firstX = x;
        firstY = y;
      }
  if (count == 0) return {};
  std::ostringstream out;
  out << count << " window pixels differ; the first at (" << firstX << ", " << firstY << "): window " << std::hex
      << window.pixels[static_cast<size_t>(firstY) * window.width + firstX] << ", frame "
      << frame.pixels[static_cast<size_t>(firstY / zoom) * frame.width + firstX / zoom];
  return out.str();
}

// The full path of a program on PATH, or empty.
std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

// Starts `program` with `args` and this process's environment changed by `setEnv` (NAME=VALUE;
// a name listed in `unsetEnv` is left out), its output into `output`. The child dies with this
// process, so a test that fails halfway leaves nothing running. `keepFd` stays open in the child.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& setEnv,
            const std::vector<std::string>& unsetEnv, const fs::path& output, int keepFd = -1) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool drop = false;
    for (const std::string& s : setEnv) drop |= s.substr(0, s.find('=')) == name;
    for (const std::string& u : unsetEnv) drop |= u == name;
    if (!drop) env.push_back(entry);
  }
  env.insert(env.end(), setEnv.begin(), setEnv.end());
  std::vector<char*> argv{const_cast<char*>(program.c_str())}, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  // The child: only calls that are safe after fork.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) ::_exit(127);
  ::dup2(out, 1);
  ::dup2(out, 2);
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull >= 0) ::dup2(devNull, 0);
  for (int fd = 3; fd < 1024; ++fd)
    if (fd != keepFd) ::close(fd);
  ::execve(program.c_str(), argv.data(), envp.data());
  ::_exit(127);
}

// Waits up to `limit` for the child to end; its wait status, or -1 when it is still running.
int waitFor(pid_t pid, Clock::duration limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    if (Clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Ends a child and reaps it: asked with SIGTERM first (Xvfb then removes its lock file and socket),
// then for good.
void stop(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  if (waitFor(pid, std::chrono::seconds(10)) == -1) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  pid = -1;
}

// The X error of the last request that failed, kept instead of Xlib's default, which ends the
// process: a window may go away between finding it and reading it.
int s_xError = 0;
int keepXError(Display*, XErrorEvent* event) {
  s_xError = event->error_code;
  return 0;
}

// The mapped top-level window of process `pid` (by the _NET_WM_PID SDL sets on its windows); 0 when
// there is none yet.
Window findWindowOf(Display* display, pid_t pid) {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success &&
        data && format == 32 && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid)
      found = children[i];
    if (data) XFree(data);
  }
  if (children) XFree(children);
  return found;
}

// The window's contents through the X server, as 0x00RRGGBB: each channel at 8 bits, its bits
// where the visual puts them. false when the window cannot be read (gone, or not on screen whole).
bool readWindow(Display* display, Window window, Picture& picture) {
  s_xError = 0;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || s_xError) return false;
  XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  XSync(display, False);
  if (!image || s_xError) {
    if (image) XDestroyImage(image);
    return false;
  }
  const auto channel = [](unsigned long pixel, unsigned long mask) -> uint32_t {
    if (!mask) return 0;
    int shift = 0, bits = 0;
    while (!((mask >> shift) & 1)) ++shift;
    while ((mask >> (shift + bits)) & 1) ++bits;
    const uint32_t value = static_cast<uint32_t>((pixel & mask) >> shift);
    return bits >= 8 ? value >> (bits - 8) : value << (8 - bits);
  };
  picture = Picture{attributes.width, attributes.height, {}};
  picture.pixels.resize(static_cast<size_t>(attributes.width) * attributes.height);
  for (int y = 0; y < attributes.height; ++y)
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      picture.pixels[static_cast<size_t>(y) * attributes.width + x] =
          channel(p, image->red_mask) << 16 | channel(p, image->green_mask) << 8 | channel(p, image->blue_mask);
    }
  XDestroyImage(image);
  return true;
}

struct WindowCase {
  const char* name;
  int direct3d;          // System.ini's drawing mode, in a window
  const char* renderer;  // SDL_RENDER_DRIVER; empty: SDL's own choice (OpenGL on Xvfb's Mesa)
  const char* screen;    // the X screen's size: the window opens at the largest zoom that fits it
  int depth;             // the X screen's colour depth, which the game draws at in a window
  int zoom;              // the window's zoom there
};
void PrintTo(const WindowCase& c, std::ostream* out) { *out << c.name; }

class RealWindowTest : public testing::TestWithParam<WindowCase> {
 protected:
  void SetUp() override {
    m_dir = TestTempDir() / GetParam().name;
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    m_game = m_dir / "game";
    const std::string command = "'" + kMakeDemo + "' '" + m_game.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "qc4-make-demo failed; is it built?";
    std::ofstream ini(m_game / "System.ini", std::ios::binary);
    ini << "Direct3D=" << GetParam().direct3d << "\r\nWindowMode=1\r\nVSync=2\r\nShowFps=0\r\nExit\r\n";
  }

  void TearDown() override {
    if (m_display) XCloseDisplay(m_display);
    stop(m_qc4);
    stop(m_xvfb);
  }

  // Starts Xvfb on a free display of its choosing (at the case's colour depth) and connects to it.
  void startXServer() {
    const std::string xvfb = findOnPath("Xvfb");
    ASSERT_FALSE(xvfb.empty()) << "Xvfb is not installed: the real-window test needs it (scripts/deps installs "
                                  "the package xvfb)";
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const fs::path log = m_dir / "xvfb.log";
    m_xvfb = spawn(xvfb,
                   {"-displayfd", std::to_string(ends[1]), "-screen", "0",
                    std::string(GetParam().screen) + "x" + std::to_string(GetParam().depth), "-nolisten", "tcp"},
                   {}, {}, log, ends[1]);
    ::close(ends[1]);
    // Xvfb writes the display number it took once it accepts connections.
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
      pollfd wait{ends[0], POLLIN, 0};
      if (::poll(&wait, 1, 100) <= 0) continue;
      char buffer[16];
      const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
      if (n <= 0) break;
      number.append(buffer, static_cast<size_t>(n));
    }
    ::close(ends[0]);
    ASSERT_NE(number.find('\n'), std::string::npos) << "Xvfb did not start:\n" << readFile(log);
    m_displayName = ":" + number.substr(0, number.find('\n'));
    XSetErrorHandler(keepXError);
    m_display = XOpenDisplay(m_displayName.c_str());
    ASSERT_NE(m_display, nullptr) << "cannot connect to Xvfb on " << m_displayName;
  }

  // The title as a headless run shows it once it has faded in.
  void drawTitleHeadless(Picture& title) {
    const fs::path dump = m_dir / "headless.png";
    pid_t pid = spawn(kQc4, {"--headless", "--frames", "120", "--dump-frame", dump.string(), m_game.string()},
                      {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, {}, m_dir / "headless.out");
    const int status = waitFor(pid, kWaitForExit);
    if (status == -1) stop(pid);
    ASSERT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(m_dir / "headless.out");
    ASSERT_TRUE(readPng(dump, title));
  }

  // Keeps a picture that differs for a look after the run.
  void keep(const Picture& picture, const std::string& what) {
    const fs::path folder = fs::path(QC4_BINARY_DIR) / "window-actual";
    fs::create_directories(folder);
    const fs::path path = folder / (std::string(GetParam().name) + "-" + what + ".png");
    WritePngRgb32(path.string(), picture.pixels.data(), picture.width, picture.height, picture.width);
    std::printf("kept %s\n", path.c_str());
  }

  fs::path m_dir, m_game;
  std::string m_displayName;
  Display* m_display = nullptr;
  pid_t m_xvfb = -1, m_qc4 = -1;
};

TEST_P(RealWindowTest, TheWindowShowsTheDumpedFrame) {
  Picture title;
  ASSERT_NO_FATAL_FAILURE(startXServer());
  ASSERT_NO_FATAL_FAILURE(drawTitleHeadless(title));
  // A 24-bit screen shows the game's colours whole. A 16-bit one holds 5:6:5 bits of red, green and
  // blue, and the game draws 5:5:5 there: the window keeps those bits of what qc4 presented, and
  // 5 bits a channel of the title a headless run (at 32 bits) draws.
  const bool deep = GetParam().depth == 24;
  const uint32_t titleBits = deep ? 0xFFFFFF : 0xF8F8F8;
  const uint32_t presentedBits = deep ? 0xFFFFFF : 0xF8FCF8;

  // SDL_VIDEODRIVER is set, not inherited: scripts/test runs the other tests on the dummy driver.
  // SDL loads the window system's libraries at run time and unloads them at its end, so leak reports
  // from inside them name no library a suppression could match: leaks are the headless runs' to
  // find.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asanOptions = std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0";
  std::vector<std::string> env = {"DISPLAY=" + m_displayName, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                                  asanOptions};
  if (*GetParam().renderer) env.push_back(std::string("SDL_RENDER_DRIVER=") + GetParam().renderer);
  const fs::path dump = m_dir / "window.png";
  const fs::path output = m_dir / "window.out";
  // The frame limit only ends a run the test lost track of (an hour at 60 frames a second).
  m_qc4 = spawn(kQc4, {"--frames", "216000", "--dump-frame", dump.string(), m_game.string()}, env, {"WAYLAND_DISPLAY"},
                output);

  Picture shown;
  bool showsTitle = false;
  std::string lastDifference = "the window never appeared";
  const auto deadline = Clock::now() + kWaitForTitle;
  while (!showsTitle && Clock::now() < deadline) {
    if (int status = 0; ::waitpid(m_qc4, &status, WNOHANG) == m_qc4) {
      m_qc4 = -1;
      FAIL() << "qc4 ended early (wait status " << status << "):\n" << readFile(output);
    }
    const Window window = findWindowOf(m_display, m_qc4);
    if (window && readWindow(m_display, window, shown)) {
      lastDifference = difference(shown, title, titleBits);
      showsTitle = lastDifference.empty();
    }
    if (!showsTitle) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!showsTitle && shown.width > 0) keep(shown, "window");
  EXPECT_TRUE(showsTitle) << "after " << kWaitForTitle.count() << " s the window does not show the title as a "
                          << "headless run draws it: " << lastDifference;

  // SIGTERM closes the run through its normal close path, which writes the frame dump.
  ASSERT_EQ(::kill(m_qc4, SIGTERM), 0);
  const int status = waitFor(m_qc4, kWaitForExit);
  ASSERT_NE(status, -1) << "qc4 did not end after SIGTERM:\n" << readFile(output);
  m_qc4 = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status << "\n" << readFile(output);

  Picture dumped;
  ASSERT_TRUE(readPng(dump, dumped)) << readFile(output);
  EXPECT_EQ(dumped.width, kWidth);
  EXPECT_EQ(dumped.height, kHeight);
  // The window opened at the largest zoom the screen holds (no "Window.dat" says otherwise).
  EXPECT_EQ(shown.width, kWidth * GetParam().zoom);
  EXPECT_EQ(shown.height, kHeight * GetParam().zoom);
  const std::string windowVsDump = difference(shown, dumped, presentedBits);
  if (!windowVsDump.empty()) keep(dumped, "dump");
  EXPECT_EQ(windowVsDump, "") << "the window's picture is not the frame dump";
}

// Both drawing modes through SDL's own renderer choice and through the software renderer a machine
// without OpenGL gets, on a 24-bit and a 16-bit desktop, and zoomed to 200 % on a larger one.
INSTANTIATE_TEST_SUITE_P(Modes, RealWindowTest,
                         testing::Values(WindowCase{"Direct3D", 1, "", "1024x768", 24, 1},
                                         WindowCase{"DirectDraw", 0, "", "1024x768", 24, 1},
                                         WindowCase{"SoftwareRenderer", 1, "software", "1024x768", 24, 1},
                                         WindowCase{"Direct3DDesktop16", 1, "", "1024x768", 16, 1},
                                         WindowCase{"DirectDrawDesktop16Software", 0, "software", "1024x768", 16, 1},
                                         WindowCase{"Direct3DZoom2", 1, "", "1600x1200", 24, 2},
                                         WindowCase{"DirectDrawZoom2Software", 0, "software", "1600x1200", 24, 2}),
                         [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

}  // namespace
