// Start-up of talq-manager.exe against the smallest Win32 dialog program,
// both started the same way under one warm wineserver: the time from
// CreateProcess until the program's first dialog is shown and waits for
// input, and the process's private memory at that moment. Each program runs
// `runs` times; medians are printed with their ratio.
//   wine_start_bench.exe MANAGER_EXE MINIMAL_EXE [runs]
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
    double ms = 0;
    double privateMb = 0;
};

HWND VisibleDialogOf(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found = nullptr;
    } search{pid};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s.pid && IsWindowVisible(window)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Run(const std::wstring& program, Sample& sample) {
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, shown;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    HWND dialog = nullptr;
    // Bounded: 20 s at most for a dialog to show.
    for (int waited = 0; waited < 20000 && dialog == nullptr; ++waited) {
        WaitForInputIdle(process.hProcess, 1);
        dialog = VisibleDialogOf(process.dwProcessId);
        if (dialog == nullptr) Sleep(1);
    }
    QueryPerformanceCounter(&shown);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    if (dialog != nullptr) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 3);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    sample.ms = 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    sample.privateMb = static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / (1024.0 * 1024.0);
    return dialog != nullptr;
}

Sample Median(std::vector<Sample> samples) {
    const auto middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(middle), samples.end(),
                     [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
    Sample result = samples[middle];
    std::vector<double> memory;
    for (const auto& sample : samples) memory.push_back(sample.privateMb);
    std::nth_element(memory.begin(), memory.begin() + static_cast<long>(middle), memory.end());
    result.privateMb = memory[middle];
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wine_start_bench MANAGER_EXE MINIMAL_EXE [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    Sample warm;
    Run(argv[2], warm);  // the first start loads what both share
    std::vector<Sample> manager, minimal;
    for (int i = 0; i < runs; ++i) {
        Sample a, b;
        if (!Run(argv[1], a) || !Run(argv[2], b)) {
            std::fprintf(stderr, "a program showed no dialog\n");
            return 1;
        }
        manager.push_back(a);
        minimal.push_back(b);
    }
    const Sample m = Median(manager), y = Median(minimal);
    std::printf("start to first dialog: talq-manager %.0f ms, minimal dialog %.0f ms, ratio %.2f\n",
                m.ms, y.ms, m.ms / y.ms);
    std::printf("private memory at the first dialog: talq-manager %.1f MB, minimal dialog %.1f MB\n",
                m.privateMb, y.privateMb);
    return 0;
}
