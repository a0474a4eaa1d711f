// Timing and soak modes of the stand-in host. Timings are medians, each printed beside a floor
// measured in the same run on the same machine, so the ratio says what the module adds.
#include "host/host.h"

#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gauge/host_abi.h"

namespace {

double bench_median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The sound file the parameter string names, as the gauge composes its path.
std::wstring bench_sound_path(const char* parameters) {
    std::string name = parameters;
    size_t bracket = name.find('[');
    if (bracket != std::string::npos) name.resize(bracket);
    std::string path = ".\\Sound\\" + name;
    return std::wstring(path.begin(), path.end());
}

// The bare platform work a starting press cannot avoid: a graph built, the file rendered, run.
double bench_bare_graph(const std::wstring& path, bool run, double* stop_ms = nullptr) {
    double t0 = host_now_ms();
    IGraphBuilder* graph = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))))
        return -1;
    HRESULT hr = graph->RenderFile(path.c_str(), nullptr);
    IMediaControl* control = nullptr;
    if (SUCCEEDED(hr) && run && SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)))) {
        control->Run();
        double s0 = host_now_ms();
        control->Stop();
        if (stop_ms) *stop_ms = host_now_ms() - s0;
        control->Release();
    }
    graph->Release();
    return SUCCEEDED(hr) ? host_now_ms() - t0 : -1;
}

void HOST_CALL bench_empty() {}

struct BenchRow { const char* what; double value; double floor; const char* floor_name; const char* unit; };

}  // namespace

int host_bench(const char* parameters, int rounds) {
    host_set_echo(false);
    std::vector<double> install_kill, press_start, press_stop, indicator, graph, render, stop, empty;
    GAUGEHDR* g = host_gauge();
    if (!g) return 3;
    ELEMENT_HEADER* root = g->elements_list ? g->elements_list[0] : nullptr;
    ELEMENT_HEADER* e = root && root->next_element ? root->next_element[0] : nullptr;
    auto* icon = e && e->element_type == ELEMENT_TYPE_ICON ? reinterpret_cast<ELEMENT_ICON*>(e) : nullptr;
    bool toggles = false;
    for (MOUSERECT* m = g->mouse_rect; m && m->rect_type != MOUSE_RECT_EOL; ++m)
        if (m->rect_type == MOUSE_RECT_CHILD) toggles = !(m->event_type & MOUSE_DOWN_REPEAT);
    CoInitialize(nullptr);
    std::wstring path = bench_sound_path(parameters);
    // Warm-up: the media platform loads its parts at the first render.
    bench_bare_graph(path, true);
    host_install(parameters);
    host_kill();
    std::vector<HostMessage> shown = host_take_messages();
    if (!shown.empty()) {
        printf("bench: the install showed \"%s\"; give a sound file that plays (--install TEXT) and an audio device\n",
               shown[0].text.c_str());
        CoUninitialize();
        return 1;
    }
    for (int r = 0; r < rounds; ++r) {
        double t0 = host_now_ms();
        host_install(parameters);
        host_kill();
        install_kill.push_back(host_now_ms() - t0);

        host_install(parameters);
        t0 = host_now_ms();
        host_press(1, 1);
        press_start.push_back(host_now_ms() - t0);
        if (icon) {
            const int n = 1000;
            t0 = host_now_ms();
            for (int i = 0; i < n; ++i) icon->callback(icon);
            indicator.push_back((host_now_ms() - t0) * 1e6 / n);
        }
        if (toggles) {
            t0 = host_now_ms();
            host_press(1, 1);
            press_stop.push_back(host_now_ms() - t0);
        }
        host_kill();

        double stop_ms = 0;
        graph.push_back(bench_bare_graph(path, true, &stop_ms));
        stop.push_back(stop_ms);
        render.push_back(bench_bare_graph(path, false));
        const int n = 1000;
        void(HOST_CALL* volatile fn)() = bench_empty;
        t0 = host_now_ms();
        for (int i = 0; i < n; ++i) fn();
        empty.push_back((host_now_ms() - t0) * 1e6 / n);
    }
    CoUninitialize();
    const BenchRow rows[] = {
        {"install+kill", bench_median(install_kill), bench_median(render), "bare render test", "ms"},
        {"press that starts a sound", bench_median(press_start), bench_median(graph), "bare graph build+render+run", "ms"},
        {"press that stops one", toggles ? bench_median(press_stop) : -1, bench_median(stop), "bare Stop of a running graph", "ms"},
        {"indicator call", icon ? bench_median(indicator) : -1, bench_median(empty), "empty stdcall", "ns"},
    };
    printf("bench: %d rounds, parameters \"%s\", medians\n", rounds, parameters);
    for (const BenchRow& r : rows) {
        if (r.value < 0) {
            printf("  %-26s n/a (this gauge's press does not stop)\n", r.what);
            continue;
        }
        printf("  %-26s %10.3f %s   floor %-28s %10.3f %s   ratio %6.2f\n", r.what, r.value, r.unit, r.floor_name,
               r.floor, r.unit, r.floor > 0 ? r.value / r.floor : 0.0);
    }
    return 0;
}

namespace {

int soak_handle_value() {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(h);
    return int(uintptr_t(h));
}

struct SoakScan { DWORD pid; int n; };

BOOL CALLBACK soak_each_window(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    SoakScan* s = reinterpret_cast<SoakScan*>(p);
    s->n += pid == s->pid;
    return TRUE;
}

int soak_window_count() {
    SoakScan scan{GetCurrentProcessId(), 0};
    EnumWindows(soak_each_window, reinterpret_cast<LPARAM>(&scan));
    return scan.n;
}

size_t soak_private_kib() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (uintptr_t at = 0; VirtualQuery(reinterpret_cast<void*>(at), &mbi, sizeof mbi) == sizeof mbi;) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        uintptr_t next = uintptr_t(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total / 1024;
}

void soak_report(const char* when, int cycle) {
    printf("soak %-6s after %5d cycles: handle value %6d, windows %d, committed private %8u KiB\n", when, cycle,
           soak_handle_value(), soak_window_count(), unsigned(soak_private_kib()));
    fflush(stdout);
}

}  // namespace

int host_soak(const char* parameters, int cycles) {
    host_set_echo(false);
    if (!host_gauge()) return 3;
    auto cycle = [&]() {
        host_install(parameters);
        host_press(1, 1);
        host_wait(20);
        host_kill();
        host_wait(0);
    };
    size_t shown = 0;
    auto count_and_forget = [&]() {
        shown += host_take_messages().size();
        host_forget();
    };
    for (int i = 0; i < 5; ++i) {  // warm-up: the media platform loads at the first render
        cycle();
        count_and_forget();
    }
    shown = 0;
    soak_report("start", 5);
    for (int i = 1; i <= cycles; ++i) {
        cycle();
        count_and_forget();
        if (cycles >= 10 && i % (cycles / 10) == 0 && i != cycles) soak_report("", 5 + i);
    }
    soak_report("end", 5 + cycles);
    if (shown) printf("soak: %u message boxes were shown and answered\n", unsigned(shown));
    return 0;
}
