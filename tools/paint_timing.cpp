// Times the repaints of a running Kurvana: scroll steps of the graph area,
// the redraw command and the recalculate command.  Started by
// tools/paint-timing.sh beside the program, in the same Wine prefix.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kWaitMilliseconds = 30000;

double elapsed_ms(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

// Average milliseconds of |count| synchronous messages to |window|.
template <class Send>
double time_messages(int count, Send send) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) send(i);
  QueryPerformanceCounter(&end);
  return elapsed_ms(start, end) / count;
}

HWND wait_for_main_window() {
  for (UINT waited = 0; waited < kWaitMilliseconds; waited += 100) {
    if (HWND window = FindWindowW(L"kurvanamain", nullptr)) return window;
    Sleep(100);
  }
  return nullptr;
}

// Returns once |window| has handled the messages before this one and
// painted what was pending, so that the first measurement does not pay
// for the start-up; false when it does not answer in time.
bool wait_until_drawn(HWND window) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                           kWaitMilliseconds, &result)) {
    return false;
  }
  return RedrawWindow(window, nullptr, nullptr,
                      RDW_UPDATENOW | RDW_ALLCHILDREN) != FALSE;
}

}  // namespace

int main() {
  HWND main_window = wait_for_main_window();
  if (!main_window || !wait_until_drawn(main_window)) {
    std::puts("the program's window did not appear or does not answer");
    return 1;
  }
  HWND graph = FindWindowExW(main_window, nullptr, L"GAREACLASS", nullptr);
  if (!graph) {
    std::puts("the program's window has no graph area");
    return 1;
  }
  RECT client;
  GetClientRect(graph, &client);
  std::printf("graph area %ld x %ld pixels\n", client.right, client.bottom);
  const double scroll = time_messages(40, [&](int i) {
    SendMessageW(graph, WM_HSCROLL, i % 2 ? SB_LINELEFT : SB_LINERIGHT, 0);
  });
  std::printf("scroll step:          %8.2f ms\n", scroll);
  const double redraw = time_messages(
      20, [&](int) { SendMessageW(main_window, WM_COMMAND, 40005, 0); });
  std::printf("full repaint:         %8.2f ms\n", redraw);
  const double recalculate = time_messages(
      3, [&](int) { SendMessageW(main_window, WM_COMMAND, 40004, 0); });
  std::printf("recalculate + repaint:%8.2f ms\n", recalculate);
  PostMessageW(main_window, WM_CLOSE, 0, 0);
  return 0;
}
