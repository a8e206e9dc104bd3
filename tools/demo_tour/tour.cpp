// DemoTour: the demo's tour of Panelcast's main job, made as a user makes it once scripts/demo has
// started the simulator stand-in, the panel viewer and the program: through the main window and
// the panels' buttons. Panel 1 gets the live monitor of the simulator's GPS screen, panel 2 the
// GPS gauge with one "Zoom +" press, panel 3 the still images from the six sample pictures in the
// program's folder, each chosen with its button. Every step waits for what the panel shows; the
// first that does not come within its time ends the tour with a line naming the step, and exit
// code 1. The panels are reached through PANELCAST_EMU_PIPE, as the viewer reaches them.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "emulator/control/panel_control.h"
#include "emulator/simulator/gps_screen_layout.h"
#include "emulator/simulator/sim_link.h"
#include "resources/resource_ids.h"
#include "tests/driver/driver.h"
#include "tools/samples/sample_colours.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr wchar_t kMainTitle[] = L"Zivovi Panelcast";
constexpr wchar_t kViewerTitle[] = L"Panel Viewer";
constexpr char kLivePanel[] = "EMU0001", kGpsPanel[] = "EMU0002", kStillPanel[] = "EMU0003";
constexpr uint32_t kZoomIn = 0x40;  // button 2 on the GPS gauge's first page
constexpr int kGap = 16;            // between the windows the tour lays out

// What the steps share; the main thread only.
struct Tour {
  emu::PanelControl panels;  // PANELCAST_EMU_PIPE
  HWND main = nullptr;
  DWORD pid = 0;
  HWND simulator = nullptr;
  RECT gpsScreen{};  // the simulator's client area on the screen
};

// What a step found wrong; empty when it went well.
using Failure = std::string;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A failure, with the text of a message box the program shows (which would explain it).
Failure Failed(const Tour& tour, const std::string& what) {
  const std::vector<HWND> boxes = driver::MessageBoxWindows(tour.pid);
  if (boxes.empty()) return what;
  return what + " (Panelcast shows the message \"" + Narrow(driver::ReadMessageBox(boxes[0]).text) +
         "\")";
}

std::vector<uint8_t> Frame(Tour& tour, const char* serial) { return tour.panels.Image(serial, 1); }

bool WaitForFrame(Tour& tour, const char* serial,
                  const std::function<bool(const std::vector<uint8_t>&)>& shows) {
  return driver::WaitUntil([&] { return shows(Frame(tour, serial)); }, kTimeoutMs, 100);
}

// The sample picture a frame shows, by its background colour; 0 for none.
int SampleShown(const std::vector<uint8_t>& frame) {
  if (frame.size() != emu::kFrameBytes) return 0;
  const uint32_t probe = driver::Picture{320, 240, frame}.At(samples::kProbeX, samples::kProbeY);
  for (int n = 1; n <= samples::kCount; ++n) {
    if (driver::Near(probe, samples::kBackgrounds[n - 1], 24)) return n;
  }
  return 0;
}

Failure FindTheWindows(Tour& tour) {
  if (!tour.panels.WaitForServer(kTimeoutMs)) return "the emulated panels do not answer";
  tour.main = driver::WaitForWindow(kMainTitle, 0, kTimeoutMs);
  if (!tour.main) return "no Panelcast window";
  GetWindowThreadProcessId(tour.main, &tour.pid);
  if (!driver::WaitUntil([&] { return driver::ListCount(tour.main, IDC_DEVICE_LIST) == 3; },
                         kTimeoutMs)) {
    return Failed(tour, "the window does not list the three panels");
  }
  tour.simulator = driver::WaitForWindow(simstandin::kWindowTitle, 0, kTimeoutMs);
  if (!tour.simulator) return "no simulator stand-in window";
  RECT client{};
  GetClientRect(tour.simulator, &client);
  MapWindowPoints(tour.simulator, nullptr, reinterpret_cast<POINT*>(&client), 2);
  tour.gpsScreen = client;
  return {};
}

// The simulator's GPS screen stays uncovered, since two panels show it: the main window goes to
// its right, the viewer below it.
Failure ArrangeTheWindows(Tour& tour) {
  RECT simulator{};
  GetWindowRect(tour.simulator, &simulator);
  const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (!SetWindowPos(tour.main, nullptr, simulator.right + kGap, simulator.top, 0, 0, flags)) {
    return "the main window cannot be moved";
  }
  if (HWND viewer = driver::FindTopWindow(kViewerTitle)) {
    (void)SetWindowPos(viewer, nullptr, simulator.left, simulator.bottom + kGap, 0, 0, flags);
  }
  return {};
}

Failure LiveMonitorOnPanel1(Tour& tour) {
  if (!driver::StartToolOn(tour.main, 0, IDC_MODE_LIVE_MONITOR, tour.gpsScreen)) {
    return Failed(tour, "START did not start the live monitor on the first panel");
  }
  if (!WaitForFrame(tour, kLivePanel, [](const auto& f) {
        return simstandin::ScaleBarPixelsInFrame(f) > 0;
      })) {
    return Failed(tour, "the first panel does not show the simulator's GPS");
  }
  return {};
}

Failure GpsGaugeWithZoomOnPanel2(Tour& tour) {
  if (!driver::StartToolOn(tour.main, 1, IDC_MODE_GPS, tour.gpsScreen)) {
    return Failed(tour, "START did not start the GPS gauge on the second panel");
  }
  int before = -1;
  if (!WaitForFrame(tour, kGpsPanel, [&](const auto& f) {
        before = simstandin::ScaleBarPixelsInFrame(f);
        return before > 0;
      })) {
    return Failed(tour, "the second panel does not show the simulator's GPS");
  }
  if (!tour.panels.Click(kGpsPanel, kZoomIn)) return "the second panel's Zoom + cannot be pressed";
  if (!WaitForFrame(tour, kGpsPanel, [&](const auto& f) {
        const int bar = simstandin::ScaleBarPixelsInFrame(f);
        return bar > 0 && bar != before;
      })) {
    return Failed(tour, "Zoom + on the second panel did not change the simulator's map scale");
  }
  return {};
}

Failure StillImagesOnPanel3(Tour& tour) {
  driver::SelectListLineAndSettle(tour.main, IDC_DEVICE_LIST, 2);
  driver::ClickAndSettle(tour.main, IDC_MODE_STATIC);
  driver::ClickAndSettle(tour.main, IDC_FORMAT_BMP);  // the sample pictures are FIP1.BMP...
  if (!driver::IsChecked(tour.main, IDC_FORMAT_BMP)) return Failed(tour, "BMP format not chosen");
  driver::Click(tour.main, IDC_START);
  if (!driver::WaitUntil([&] { return driver::IsEnabled(tour.main, IDC_STOP); }, kTimeoutMs)) {
    return Failed(tour, "START did not start the still images on the third panel");
  }
  if (!WaitForFrame(tour, kStillPanel, [](const auto& f) { return SampleShown(f) == 1; })) {
    return Failed(tour, "the third panel does not show sample picture 1");
  }
  for (int n = 2; n <= samples::kCount; ++n) {
    if (!tour.panels.Click(kStillPanel, 0x20u << (n - 1))) {
      return "button " + std::to_string(n) + " of the third panel cannot be pressed";
    }
    if (!WaitForFrame(tour, kStillPanel, [n](const auto& f) { return SampleShown(f) == n; })) {
      return Failed(tour, "button " + std::to_string(n) + " did not show sample picture " +
                              std::to_string(n));
    }
  }
  return {};
}

}  // namespace

int main() {
  struct Step {
    const char* name;
    Failure (*run)(Tour&);
  };
  const Step steps[] = {
      {"find the windows", FindTheWindows},
      {"lay out the windows", ArrangeTheWindows},
      {"panel 1: live monitor of the GPS", LiveMonitorOnPanel1},
      {"panel 2: GPS gauge and Zoom +", GpsGaugeWithZoomOnPanel2},
      {"panel 3: still images 1 to 6", StillImagesOnPanel3},
  };
  Tour tour;
  for (const Step& step : steps) {
    std::printf("== tour: %s\n", step.name);
    std::fflush(stdout);
    const Failure failure = step.run(tour);
    if (!failure.empty()) {
      std::fprintf(stderr, "demo: the step \"%s\" failed: %s\n", step.name, failure.c_str());
      return 1;
    }
  }
  return 0;
}
