// The window calls of a batch without the program: a plain Win32 program
// that makes the calls the program's batch makes, in the same order and
// number, with none of the program's own code. scripts/bench runs it beside
// the real batch; where both grow alike along a batch, the growth is the
// window system's.
//
//   window_bench N SOURCE
//
// The batch start: the folder is listed with the same directory search and
// its names go into a hidden list box, one LB_ADDSTRING each. Then per
// document: a row goes to the top of a virtual report list view whose
// control learns of changes as the main window's does (drawn at once and
// timed, at most ten times a second and at most a fiftieth of the time),
// the same yields to the window system at the same places (each group ends
// once a yield finds nothing pending), the 4 ms pause and the main window shown again. The figures
// per eighth of the batch are printed as by batch_bench, with the number of
// list updates and the time one took (drawing included).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Row {
    std::wstring text;
    const wchar_t* status;
};

constexpr UINT kUpdateMessage = WM_APP + 1;
constexpr UINT_PTR kUpdateTimer = 1;

std::vector<Row> rows; // in display order: the newest document first
HWND mainWindow = nullptr, listView = nullptr;
bool updatePending = false;
ULONGLONG lastUpdate = 0, updateGap = 100;
double updateSeconds = 0; // spent in list updates, drawing included
long updates = 0;

void updateList() {
    KillTimer(mainWindow, kUpdateTimer);
    updatePending = false;
    const auto start = Clock::now();
    const int count = static_cast<int>(rows.size());
    if (ListView_GetItemCount(listView) != count)
        ListView_SetItemCountEx(listView, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    InvalidateRect(listView, nullptr, FALSE);
    UpdateWindow(listView);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    updateSeconds += secondsSince(start);
    ++updates;
    updateGap = std::clamp<ULONGLONG>(49 * static_cast<ULONGLONG>(spent.count()), 100, 2000);
    lastUpdate = GetTickCount64();
}

void scheduleUpdate() {
    if (updatePending)
        return;
    updatePending = true;
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG due = lastUpdate + updateGap;
    if (now >= due)
        PostMessageW(mainWindow, kUpdateMessage, 0, 0);
    else
        SetTimer(mainWindow, kUpdateTimer, static_cast<UINT>(due - now), nullptr);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kUpdateMessage:
        updateList();
        return 0;
    case WM_TIMER:
        if (wParam == kUpdateTimer)
            updateList();
        return 0;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.code != LVN_GETDISPINFOW || (info->item.mask & LVIF_TEXT) == 0)
            return 0;
        const auto index = static_cast<std::size_t>(info->item.iItem);
        const wchar_t* text = index >= rows.size()       ? L""
                              : info->item.iSubItem == 0 ? rows[index].text.c_str()
                                                         : rows[index].status;
        lstrcpynW(info->item.pszText, text, info->item.cchTextMax);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

double yieldSeconds = 0;

// As the program yields: up to the given number of times, and no more once
// a yield found nothing pending.
void yield(int times) {
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i) {
        MSG msg;
        bool any = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            any = true;
        }
        if (!any)
            break;
    }
    yieldSeconds += secondsSince(start);
}

HANDLE timer = nullptr;

void pause4() {
    LARGE_INTEGER due;
    due.QuadPart = -40000; // 4 ms, relative, in 100 ns units
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    WaitForSingleObject(timer, INFINITE);
}

std::vector<std::wstring> listFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](wchar_t x, wchar_t y) { return towlower(x) < towlower(y); });
    });
    return names;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int documents = argc == 3 ? _wtoi(argv[1]) : 0;
    if (documents <= 0) {
        std::fprintf(stderr, "usage: window_bench N SOURCE\n");
        return 2;
    }
    const std::wstring source = argv[2];
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    timer = CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* high resolution */, TIMER_ALL_ACCESS);
    if (timer == nullptr)
        timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"WindowBench";
    RegisterClassW(&windowClass);
    mainWindow = CreateWindowExW(0, L"WindowBench", L"Window bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                 nullptr, nullptr, instance, nullptr);
    listView = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0,
                               780, 500, mainWindow, nullptr, instance, nullptr);
    std::wstring heading[] = {L"File Name:", L"Status:"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = 380;
        column.pszText = heading[i].data();
        column.iSubItem = i;
        ListView_InsertColumn(listView, i, &column);
    }
    HWND fileList = CreateWindowExW(0, WC_LISTBOXW, L"", WS_CHILD | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0,
                                    10, 10, mainWindow, nullptr, instance, nullptr);
    CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, mainWindow,
                    nullptr, instance, nullptr);
    ShowWindow(mainWindow, SW_SHOW);
    yield(1);

    // The batch start.
    const auto start = Clock::now();
    const std::vector<std::wstring> names = listFolder(source);
    const double listSeconds = secondsSince(start);
    const auto filling = Clock::now();
    SendMessageW(fileList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(fileList, LB_RESETCONTENT, 0, 0);
    SendMessageW(fileList, LB_INITSTORAGE, names.size(), names.size() * 32);
    for (const auto& name : names)
        SendMessageW(fileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(fileList, WM_SETREDRAW, TRUE, 0);
    const double fillSeconds = secondsSince(filling);
    const double startSeconds = secondsSince(start);

    // The documents, with the yields where the batch job and the macro
    // runner make them (the stand-in's macros are over before the runner polls).
    constexpr int kParts = 8;
    std::array<double, kParts + 1> at{}, yieldsAt{}, updateAt{};
    std::array<long, kParts + 1> updatesAt{};
    const auto batch = Clock::now();
    const std::wstring folder = source + L"\\";
    for (int i = 0, part = 0; i < documents; ++i) {
        if (part < kParts && i == static_cast<long long>(documents) * part / kParts) {
            at[static_cast<std::size_t>(part)] = secondsSince(batch);
            yieldsAt[static_cast<std::size_t>(part)] = yieldSeconds;
            updateAt[static_cast<std::size_t>(part)] = updateSeconds;
            updatesAt[static_cast<std::size_t>(part)] = updates;
            ++part;
        }
        const std::wstring path = folder + (i < static_cast<int>(names.size()) ? names[i] : L"missing.wpd");
        rows.insert(rows.begin(), Row{path, L"Converting..."});
        scheduleUpdate();
        yield(1);
        yield(4); // after opening
        yield(8); // the macro runner's, while the macro starts
        pause4();
        yield(5);
        yield(1); // after the first save
        yield(3); // after the second save
        yield(4); // after deleting the temporary file
        yield(4); // after closing
        rows.front().status = L"Converted";
        scheduleUpdate();
        ShowWindow(mainWindow, SW_SHOW);
        yield(3);
        yield(3); // after the next job, on the way back
    }
    at[kParts] = secondsSince(batch);
    yieldsAt[kParts] = yieldSeconds;
    updateAt[kParts] = updateSeconds;
    updatesAt[kParts] = updates;

    std::printf("bench: run=windows documents=%d listed=%zu start_s=%.3f list_s=%.3f listbox_s=%.3f\n",
                documents, names.size(), startSeconds, listSeconds, fillSeconds);
    for (int part = -1; part < kParts; ++part) {
        const std::size_t from = part < 0 ? 0 : static_cast<std::size_t>(part);
        const std::size_t to = part < 0 ? kParts : from + 1;
        const long long count = part < 0 ? documents
                                         : static_cast<long long>(documents) * (part + 1) / kParts -
                                               static_cast<long long>(documents) * part / kParts;
        if (count == 0)
            continue;
        const std::string name = part < 0 ? "all" : std::to_string(part + 1) + "/" + std::to_string(kParts);
        const long drawn = updatesAt[to] - updatesAt[from];
        std::printf(
            "bench: part=%s documents=%lld per_doc_ms=%.4f yields_ms=%.4f updates=%ld per_update_ms=%.3f\n",
            name.c_str(), count, 1000.0 * (at[to] - at[from]) / static_cast<double>(count),
            1000.0 * (yieldsAt[to] - yieldsAt[from]) / static_cast<double>(count), drawn,
            drawn > 0 ? 1000.0 * (updateAt[to] - updateAt[from]) / static_cast<double>(drawn) : 0.0);
    }
    return 0;
}
