// The project's benchmark. Every figure is Ocellix's time beside a floor measured in the same run
// (the two taken in turn, after one untimed round of each) as medians of several repetitions,
// and their ratio. Not a test: timings belong here. tools/bench.sh sets up the display and the
// Wine prefix and runs it; everything is reached through the program's public entry points.
//   ocellix_bench.exe <ocellix.exe> [figure...]   figures: shape layout catalogue runs hold startup
//                                                  follow
//   ocellix_bench.exe --minimal-window             a minimal window program: the start-up floor,
//                                                  and the idle floor (tests/bench/idle-cpu.sh)
#include "app/PointerFollow.h"
#include "app/Render.h"
#include "app/Startup.h"
#include "app/Timers.h"
#include "app/WindowShape.h"
#include "base/Handles.h"
#include "base/PictureFiles.h"
#include "base/Pixels.h"
#include "dialogs/ImageCatalogue.h"
#include "platform/PocketShell.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>
#include <strsafe.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRepetitions = 7;
// The cost per run is compared across sizes, so it takes more repetitions against the noise.
constexpr int kRunRepetitions = 11;
// Before animations stepped on a timer one hold could wait close to a minute.
constexpr int kHoldRepetitions = 3;
constexpr wchar_t kBenchClass[] = L"OcellixBench";
constexpr wchar_t kMinimalClass[] = L"OcellixBenchMinimal";

// ------------------------------------------------------------------------------- measuring

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F> double Timed(F&& f) {
    const double start = NowMs();
    f();
    return NowMs() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Figure {
    double ocellix = 0;
    double floor = 0;
};

// Runs the two in turn, which one first changing with every repetition: whatever the one before
// leaves behind (caches, memory to fault in again) falls on both alike.
template <class A, class B> void TakeTurns(int repetition, A first, B second) {
    if (repetition % 2) {
        second();
        first();
    } else {
        first();
        second();
    }
}

// Each function times itself, so that its set-up stays outside the figure.
using Run = std::function<double()>;

Figure Measure(int repetitions, const Run& ocellix, const Run& floor, bool warmUp = true) {
    if (warmUp) {
        ocellix();
        floor();
    }
    std::vector<double> ours;
    std::vector<double> floors;
    for (int i = 0; i < repetitions; ++i) {
        TakeTurns(
            i, [&] { ours.push_back(ocellix()); }, [&] { floors.push_back(floor()); });
    }
    return {Median(ours), Median(floors)};
}

void Print(const char* figure, Figure values, const char* unit = "ms") {
    std::printf("%-62s %10.2f %-6s %10.2f %-6s %7.2fx\n", figure, values.ocellix, unit,
                values.floor, unit, values.floor > 0 ? values.ocellix / values.floor : 0.0);
    std::fflush(stdout);
}

std::string Grouped(size_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

// ------------------------------------------------------------------------------- files

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// A folder of its own under the temporary folder, deleted with its files at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[MAX_PATH];
        StringCchPrintfW(name, MAX_PATH, L"%socx-bench-%lu\\", base, GetCurrentProcessId());
        path_ = name;
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::wstring& file : files_) {
            DeleteFileW(file.c_str());
        }
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
            RemoveDirectoryW(folder->c_str());
        }
        RemoveDirectoryW(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::wstring Folder(const std::wstring& name) {
        folders_.push_back(path_ + name + L"\\");
        CreateDirectoryW(folders_.back().c_str(), nullptr);
        return folders_.back();
    }
    std::wstring Copy(const std::wstring& source, const std::wstring& target) {
        CopyFileW(source.c_str(), target.c_str(), FALSE);
        return Track(target);
    }
    // A file made in the folder, deleted with it.
    std::wstring Track(const std::wstring& file) {
        files_.push_back(file);
        return file;
    }

private:
    std::wstring path_;
    std::vector<std::wstring> folders_;
    std::vector<std::wstring> files_;
};

// The shipped blinket images; the first two have eye files, critters is a strip of 4 frames.
constexpr const wchar_t* kShipped[] = {L"critters.gif", L"eyesbig.gif", L"gear.gif", L"globe.gif",
                                       L"terminal.gif"};
constexpr int kEyedShipped = 2;
constexpr int kCrittersFrames = 4;

// The shipped images with their eye files, copied into a scratch folder of the benchmark's own.
std::wstring CopyShipped(ScratchFolder& scratch, const std::wstring& shipped) {
    const std::wstring folder = scratch.Folder(L"blinkets");
    for (const wchar_t* name : kShipped) {
        scratch.Copy(shipped + name, folder + name);
        if (GetFileAttributesW((shipped + name + L".eye").c_str()) != INVALID_FILE_ATTRIBUTES) {
            scratch.Copy(shipped + name + L".eye", folder + name + L".eye");
        }
    }
    return folder;
}

// The program's list: count blinkets cycling the shipped images (only those with eyes when
// asked), the critters showing their frames in turn.
void FillBlinkets(const std::wstring& folder, int count, bool eyedOnly) {
    blinkets.Clear();
    const int kinds = eyedOnly ? kEyedShipped : static_cast<int>(std::size(kShipped));
    for (int i = 0; i < count; ++i) {
        auto blinket = std::make_unique<Blinket>();
        blinket->SetImageFile((folder + kShipped[i % kinds]).c_str());
        blinket->imagePos = i % kinds == 0 ? (i / kinds) % kCrittersFrames : 0;
        blinket->blinketPos = i;
        blinkets.Append(std::move(blinket));
    }
}

void DecodeOnce(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        DeleteObject(SHLoadImageFile(path.c_str()));
    }
}

// ------------------------------------------------------------------------------- shape

// White (opaque) pixels with one chance in two on black: a run starts at about every fourth
// pixel, so a mask 256 high holds about width * 64 runs.
// Made as the layout makes its masks, so that the program reads it in place.
GdiObject<HBITMAP> NoiseMask(int width, int height) {
    PixelView pixels;
    GdiObject<HBITMAP> mask(CreatePixelBitmap(width, height, pixels));
    std::mt19937 random(static_cast<unsigned>(width));
    for (int y = 0; mask && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.Row(y)[x] = (random() & 1) ? 0x00FFFFFF : 0;
        }
    }
    return mask;
}

bool Opaque(DWORD pixel) {
    return (pixel & 0xFF) > 16 || ((pixel >> 8) & 0xFF) > 16 || ((pixel >> 16) & 0xFF) > 16;
}

// The opaque runs of a mask (any colour byte above 16), one rectangle each, rows top first: the
// rectangles both the program's region and the floor are made of.
std::vector<RECT> OpaqueRuns(HBITMAP mask) {
    BITMAP info = {};
    GetObjectW(mask, sizeof(info), &info);
    const int width = info.bmWidth;
    const int height = std::abs(info.bmHeight);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    WindowDC screen(nullptr);
    GetDIBits(screen.get(), mask, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        const DWORD* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width;) {
            const int start = x;
            while (x < width && Opaque(row[x])) {
                ++x;
            }
            if (x > start) {
                runs.push_back({start, y, x, y + 1});
            }
            ++x;
        }
    }
    return runs;
}

HRGN RegionOfRects(const RECT* rects, size_t count) {
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->rcBound = {0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    for (size_t i = 0; i < count; ++i) {
        UnionRect(&header->rcBound, &header->rcBound, &rects[i]);
    }
    std::copy(rects, rects + count, reinterpret_cast<RECT*>(header + 1));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

// The floor: the rectangles in groups of 16 (the cheapest size measured under Wine), one region
// each, merged pairwise in a balanced order, as a binary counter carries.
HRGN FloorRegion(const std::vector<RECT>& rects) {
    constexpr size_t kGroup = 16;
    std::vector<std::pair<HRGN, int>> pending;  // region, merge level
    for (size_t first = 0; first < rects.size(); first += kGroup) {
        HRGN region = RegionOfRects(&rects[first], std::min(kGroup, rects.size() - first));
        int level = 0;
        while (!pending.empty() && pending.back().second == level) {
            CombineRgn(pending.back().first, pending.back().first, region, RGN_OR);
            DeleteObject(region);
            region = pending.back().first;
            pending.pop_back();
            ++level;
        }
        pending.emplace_back(region, level);
    }
    while (pending.size() > 1) {
        HRGN last = pending.back().first;
        pending.pop_back();
        CombineRgn(pending.back().first, pending.back().first, last, RGN_OR);
        DeleteObject(last);
    }
    return pending.empty() ? CreateRectRgn(0, 0, 0, 0) : pending.front().first;
}

// One mask with its runs: the program's region of it and the floor's, each timed.
class ShapeCase {
public:
    explicit ShapeCase(HBITMAP mask) : mask_(mask), rects_(OpaqueRuns(mask)) {
        GdiObject<HRGN> ours(MaskRegion(mask, 1));
        GdiObject<HRGN> floor(FloorRegion(rects_));
        if (!ours || !EqualRgn(ours.get(), floor.get())) {
            std::printf("!! the program's region differs from the floor's\n");
        }
    }
    size_t runs() const { return rects_.size(); }
    double Ours() const {
        return TimeRegion([&] { return MaskRegion(mask_, 1); });
    }
    double Floor() const {
        return TimeRegion([&] { return FloorRegion(rects_); });
    }

private:
    template <class Make> static double TimeRegion(Make make) {
        HRGN region = nullptr;
        const double ms = Timed([&] { region = make(); });
        DeleteObject(region);
        return ms;
    }

    HBITMAP mask_;
    std::vector<RECT> rects_;
};

Figure MeasureShape(HBITMAP mask, size_t& runs) {
    const ShapeCase shape(mask);
    runs = shape.runs();
    return Measure(
        kRepetitions, [&] { return shape.Ours(); }, [&] { return shape.Floor(); });
}

void ShapeOfNoise() {
    GdiObject<HBITMAP> mask = NoiseMask(4096, 256);
    size_t runs = 0;
    const Figure figure = MeasureShape(mask.get(), runs);
    const std::string name = "shape of a 4096x256 noise mask (" + Grouped(runs) + " runs)";
    Print(name.c_str(), figure);
}

// The widths take turns within every repetition, so that a busy spell of the machine does not
// fall on one width alone.
void ShapePerRun() {
    constexpr int kWidths[] = {1024, 2048, 4096, 8192};
    std::vector<GdiObject<HBITMAP>> masks;
    std::vector<ShapeCase> shapes;
    for (int width : kWidths) {
        masks.push_back(NoiseMask(width, 256));
        shapes.emplace_back(masks.back().get());
        shapes.back().Ours();
        shapes.back().Floor();
    }
    std::vector<std::vector<double>> ours(shapes.size());
    std::vector<std::vector<double>> floors(shapes.size());
    for (int repetition = 0; repetition < kRunRepetitions; ++repetition) {
        for (size_t i = 0; i < shapes.size(); ++i) {
            const double perRun = 1e6 / static_cast<double>(shapes[i].runs());
            TakeTurns(
                repetition, [&] { ours[i].push_back(shapes[i].Ours() * perRun); },
                [&] { floors[i].push_back(shapes[i].Floor() * perRun); });
        }
    }
    std::vector<double> ourMedians;
    std::vector<double> floorMedians;
    for (size_t i = 0; i < shapes.size(); ++i) {
        ourMedians.push_back(Median(ours[i]));
        floorMedians.push_back(Median(floors[i]));
        const std::string name = "shape per run, " + std::to_string(kWidths[i]) + "x256 noise (" +
                                 Grouped(shapes[i].runs()) + " runs)";
        Print(name.c_str(), {ourMedians.back(), floorMedians.back()}, "ns/run");
    }
    auto spread = [](const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        return 100.0 * (*high - *low) / *low;
    };
    std::printf("%-62s %9.1f %%         %9.1f %%\n", "  per-run spread from 65k to 524k runs",
                spread(ourMedians), spread(floorMedians));
}

// ------------------------------------------------------------------------------- layout

// Each blinket shows a file of its own, copied from the shipped ones: a layout decodes each file
// once, and the floor decodes the same forty.
void LayoutAndStrip(ScratchFolder& scratch, const std::wstring& folder) {
    FillBlinkets(folder, 40, false);
    const std::wstring own = scratch.Folder(L"layout");
    std::vector<std::wstring> images;
    for (int i = 0; i < blinkets.Count(); ++i) {
        Blinket& blinket = *blinkets.At(i);
        const std::wstring shipped = blinket.imageFile;
        wchar_t name[32];
        StringCchPrintfW(name, 32, L"blinket%02d.gif", i);
        images.push_back(scratch.Copy(shipped, own + name));
        blinket.SetImageFile(images.back().c_str());
    }
    const Figure layout = Measure(
        kRepetitions,
        [] {
            int x = 0;
            int y = 0;
            return Timed([&] { LayoutBlinkets(x, y); });
        },
        [&] { return Timed([&] { DecodeOnce(images); }); });
    Print("layout of 40 blinkets vs decoding their images once", layout);

    size_t runs = 0;
    const Figure shape = MeasureShape(maskPicture.bitmap, runs);
    const std::string name = "shape of the 40-blinket strip (" + Grouped(runs) + " runs)";
    Print(name.c_str(), shape);
    blinkets.Clear();
    ReleaseStrip();
}

void ShowEveryRow() {
    for (int row = 0; row < frameRefs.Count(); ++row) {
        ThumbnailOfRow(row);
    }
}

double MegaBytes(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

// The memory of a catalogue of 200 photos of 4000 x 3000 pixels (48 MB each once decoded), every
// one of them shown: the process's working set before and at its peak. A catalogue that held
// them all at once would need 9.6 GB.
void CatalogueOfPhotos(ScratchFolder& scratch) {
    constexpr int kWidth = 4000;
    constexpr int kHeight = 3000;
    const std::wstring catalogue = scratch.Folder(L"photos");
    const std::wstring first = catalogue + L"photo000.png";
    {
        std::vector<Pixel> pixels(static_cast<size_t>(kWidth) * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<Pixel>((i % kWidth) * 255 / kWidth << 8 | (i / kWidth) % 256);
        }
        WritePngFile(scratch.Track(first).c_str(), kWidth, kHeight, pixels);
    }
    for (int i = 1; i < 200; ++i) {
        wchar_t name[32];
        StringCchPrintfW(name, 32, L"photo%03d.png", i);
        scratch.Copy(first, catalogue + name);
    }
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof(before);
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    const double ms = Timed([&] {
        LoadImageCatalogue(nullptr, catalogue.c_str());
        ShowEveryRow();
    });
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof(after);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    const int shown = frameRefs.Count();
    FreeImageCatalogue();
    std::printf("catalogue of %d photos of 4000x3000, all shown: %.0f ms; working set %.0f MB "
                "before, peak %.0f MB\n",
                shown, ms, MegaBytes(before.WorkingSetSize), MegaBytes(after.PeakWorkingSetSize));
    std::fflush(stdout);
}

void Catalogue(ScratchFolder& scratch, const std::wstring& folder) {
    const std::wstring catalogue = scratch.Folder(L"catalogue");
    std::vector<std::wstring> images;
    for (int i = 0; i < 200; ++i) {
        wchar_t name[32];
        StringCchPrintfW(name, 32, L"image%03d.gif", i);
        images.push_back(
            scratch.Copy(folder + kShipped[i % std::size(kShipped)], catalogue + name));
    }
    // Opening it reads headers only; every thumbnail is then drawn, as scrolling through
    // Edit Item's whole list does.
    const Figure figure = Measure(
        kRepetitions,
        [&] {
            const double ms = Timed([&] {
                LoadImageCatalogue(nullptr, catalogue.c_str());
                ShowEveryRow();
            });
            FreeImageCatalogue();
            return ms;
        },
        [&] { return Timed([&] { DecodeOnce(images); }); });
    Print("catalogue of 200 images, all shown, vs decoding them once", figure);
    CatalogueOfPhotos(scratch);
}

// ------------------------------------------------------------------------------- hold

// The main window's messages pass here first: the bench starts the idle step as the tenth
// tick would, has the window painted, sees the press arrive and the menu open, and closes it.
constexpr UINT kStartIdleStep = WM_APP + 1;
constexpr UINT kPaintNow = WM_APP + 2;
struct HoldWatch {
    WNDPROC original = nullptr;
    HANDLE menuClosed = nullptr;
    double pressSeenAt = 0;
    double menuOpenedAt = 0;
    POINT point = {};  // client point of the hold
    std::vector<double> ours;
    std::vector<double> floors;
    std::vector<double> oursSeen;
    std::vector<double> floorsSeen;
} hold;

LRESULT CALLBACK WatchMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kStartIdleStep:
        idleTicks = idleTickThreshold - 1;
        message = WM_TIMER;
        wParam = kMainTimerId;
        break;
    case kPaintNow: UpdateWindow(window); return 0;
    case WM_LBUTTONDOWN: hold.pressSeenAt = NowMs(); break;
    case WM_INITMENUPOPUP: hold.menuOpenedAt = NowMs(); break;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU) {
            EndMenu();
            SetEvent(hold.menuClosed);
        }
        break;
    }
    return CallWindowProcW(hold.original, window, message, wParam, lParam);
}

// From a press that stays down to its arrival in the window procedure, and to the menu's opening
// (half a second of hold), with the idle step under way (started a little longer before each
// time, so that the press meets it at another moment) or, for the floor, without it.
void TimeHold(bool animating, int repetition) {
    // A re-layout, painted: every repetition starts from a still window.
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    SendMessageW(mainWindow, kPaintNow, 0, 0);
    RECT frame = {};
    GetWindowRect(mainWindow, &frame);
    hold.point = {std::max(0L, -frame.left) + 30, 20};
    SetCursorPos(frame.left + hold.point.x, frame.top + hold.point.y);
    if (animating) {
        PostMessageW(mainWindow, kStartIdleStep, 0, 0);
    }
    Sleep(250 + 70 * repetition);
    ResetEvent(hold.menuClosed);
    const double pressed = NowMs();
    PostMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hold.point.x, hold.point.y));
    if (WaitForSingleObject(hold.menuClosed, 300000) != WAIT_OBJECT_0) {
        std::printf("!! the menu did not open\n");
    }
    // Back in the message loop before the next repetition.
    SendMessageW(mainWindow, WM_NULL, 0, 0);
    (animating ? hold.oursSeen : hold.floorsSeen).push_back(hold.pressSeenAt - pressed);
    (animating ? hold.ours : hold.floors).push_back(hold.menuOpenedAt - pressed);
}

DWORD WINAPI HoldScenario(void* mainThread) {
    TimeHold(false, 0);  // untimed: the first eye files read, the first menu made
    for (std::vector<double>* times :
         {&hold.ours, &hold.floors, &hold.oursSeen, &hold.floorsSeen}) {
        times->clear();
    }
    for (int i = 0; i < kHoldRepetitions; ++i) {
        TimeHold(false, i);
        TimeHold(true, i);
    }
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread)), WM_QUIT, 0, 0);
    return 0;
}

void HoldDuringAnimation(const std::wstring& folder) {
    FillBlinkets(folder, 300, true);
    windowCentreX = -1;
    RegisterMainClass(appInstance, kBenchClass);
    if (!CreateMainWindow(appInstance, SW_SHOWNOACTIVATE, kBenchClass)) {
        std::printf("!! no window for the hold\n");
        return;
    }
    hold.menuClosed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    hold.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMainWindow)));
    void* mainThread = reinterpret_cast<void*>(static_cast<UINT_PTR>(GetCurrentThreadId()));
    KernelHandle scenario(CreateThread(nullptr, 0, HoldScenario, mainThread, 0, nullptr));
    RunMessageLoop();
    WaitForSingleObject(scenario.get(), INFINITE);
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    CloseHandle(hold.menuClosed);
    Print("press reaches the window, idle step of 300 eyed blinkets vs none",
          {Median(hold.oursSeen), Median(hold.floorsSeen)});
    Print("hold to menu, idle step of 300 blinkets with eyes vs none",
          {Median(hold.ours), Median(hold.floors)});
}

// ------------------------------------------------------------------------------- start-up

struct WindowQuery {
    DWORD process;
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* query = reinterpret_cast<WindowQuery*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t text[64] = {};
    if (process != query->process || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (query->className &&
        (!GetClassNameW(window, text, 64) || lstrcmpW(text, query->className))) {
        return TRUE;
    }
    if (query->caption &&
        (GetWindowTextW(window, text, 64) < 0 || lstrcmpW(text, query->caption))) {
        return TRUE;
    }
    query->found = window;
    return FALSE;
}

// The process's visible window of the class or caption, once it has answered twice: the
// second answer comes after what was queued with the first, its first paint included.
HWND WaitForWindow(DWORD process, const wchar_t* className, const wchar_t* caption) {
    WindowQuery query = {process, className, caption, nullptr};
    for (const double deadline = NowMs() + 60000; !query.found && NowMs() < deadline; Sleep(1)) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    }
    for (int i = 0; query.found && i < 2; ++i) {
        SendMessageTimeoutW(query.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
    }
    return query.found;
}

// Starts the program in its own folder; all zero when it does not start.
PROCESS_INFORMATION Launch(const std::wstring& exe, const wchar_t* arguments) {
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const std::wstring folder = DirectoryOf(exe);
    CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                   &startup, &info);
    return info;
}

// A started program: its process and main thread, closed on scope exit.
struct Started {
    explicit Started(const PROCESS_INFORMATION& started)
        : info(started), process(started.hProcess), thread(started.hThread) {}
    // Closes the window and waits for the process to end.
    void Close(HWND window) const {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
        }
    }

    PROCESS_INFORMATION info;
    KernelHandle process;
    KernelHandle thread;
};

// From process start to the window shown and painted. The About dialog that stands before it
// is closed the moment it is painted; the time it stood there is not counted.
double StartOcellix(const std::wstring& exe) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick");  // a first start
    const double start = NowMs();
    const Started started(Launch(exe, L""));
    HWND about = WaitForWindow(started.info.dwProcessId, nullptr, L"About");
    const double aboutShown = NowMs();
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    const double aboutClosed = NowMs();
    HWND window = WaitForWindow(started.info.dwProcessId, kMainClassName, nullptr);
    const double shown = NowMs();
    started.Close(window);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick");
    return about && window ? (aboutShown - start) + (shown - aboutClosed) : -1;
}

double StartMinimal(const std::wstring& self) {
    const double start = NowMs();
    const Started started(Launch(self, L"--minimal-window"));
    HWND window = WaitForWindow(started.info.dwProcessId, kMinimalClass, nullptr);
    const double shown = NowMs();
    started.Close(window);
    return window ? shown - start : -1;
}

void StartUp(const std::wstring& ocellix) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const Figure figure = Measure(
        kRepetitions, [&] { return StartOcellix(ocellix); }, [&] { return StartMinimal(self); });
    Print("start-up to the window vs a minimal window program", figure);
}

// ------------------------------------------------------------------------------- follow

constexpr int kFollowRepetitions = 7;

// The window's pixels as the screen shows them, to see the pupils move.
class WindowPixels {
public:
    explicit WindowPixels(const RECT& rect)
        : rect_(rect), screen_(nullptr), memory_(screen_.get()),
          bitmap_(CreatePixelBitmap(rect.right - rect.left, rect.bottom - rect.top, pixels_)),
          selected_(memory_.get(), bitmap_.get()) {}
    std::vector<Pixel> Read() {
        const int width = rect_.right - rect_.left;
        const int height = rect_.bottom - rect_.top;
        BitBlt(memory_.get(), 0, 0, width, height, screen_.get(), rect_.left, rect_.top, SRCCOPY);
        GdiFlush();
        std::vector<Pixel> copy;
        for (int y = 0; y < height; ++y) {
            copy.insert(copy.end(), pixels_.Row(y), pixels_.Row(y) + width);
        }
        return copy;
    }

private:
    RECT rect_;
    WindowDC screen_;
    MemoryDC memory_;
    PixelView pixels_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selected_;
};

// Moves the pointer as a mouse does: the system hears it as input.
void MoveAsAMouse(POINT to) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(to.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(to.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

// From the moment the pointer comes near the still window until its pupils change on the screen;
// -1 when they do not within three seconds. The pointer first stands far away long enough for the
// program to stop looking for it. As a mouse moves it: 8 pixels every 4 ms, a brisk 2 pixels per
// millisecond; otherwise in one jump that raises no input.
double TimeToFollow(const RECT& window, bool asAMouse) {
    const POINT from = {window.left, 0};
    const POINT to = {window.right + (window.bottom - window.top),
                      (window.top + window.bottom) / 2};
    SetCursorPos(from.x, from.y);
    Sleep(3000);
    WindowPixels pixels(window);
    const std::vector<Pixel> still = pixels.Read();
    double cameNear = -1;
    if (asAMouse) {
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / 8;
        for (int step = 1; step <= steps; ++step) {
            const POINT at = {from.x + (to.x - from.x) * step / steps,
                              from.y + (to.y - from.y) * step / steps};
            MoveAsAMouse(at);
            if (cameNear < 0 && PointerIsNear(window, at)) {
                cameNear = NowMs();
            }
            if (cameNear >= 0 && pixels.Read() != still) {
                return NowMs() - cameNear;
            }
            Sleep(4);
        }
    } else {
        SetCursorPos(to.x, to.y);
        cameNear = NowMs();
    }
    for (const double deadline = cameNear + 3000; NowMs() < deadline; Sleep(1)) {
        if (pixels.Read() != still) {
            return NowMs() - cameNear;
        }
    }
    return -1;
}

void PrintFollow(const char* figure, std::vector<double> times) {
    const double worst = *std::max_element(times.begin(), times.end());
    const bool missed = std::find(times.begin(), times.end(), -1.0) != times.end();
    std::printf("%-62s %10.2f ms     worst %s%.2f ms\n", figure, Median(times),
                missed ? "(missed) " : "", worst);
    std::fflush(stdout);
}

// The eyes' start: the real program, its pointer watch resting, the pointer brought near.
void StartToFollow(const std::wstring& exe) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick");
    const Started started(Launch(exe, L""));
    HWND about = WaitForWindow(started.info.dwProcessId, nullptr, L"About");
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    HWND window = WaitForWindow(started.info.dwProcessId, kMainClassName, nullptr);
    RECT rect = {};
    if (!window || !GetWindowRect(window, &rect)) {
        std::printf("!! Ocellix's window did not show\n");
        return;
    }
    std::vector<double> mouse;
    std::vector<double> jump;
    for (int i = 0; i < kFollowRepetitions; ++i) {
        mouse.push_back(TimeToFollow(rect, true));
        jump.push_back(TimeToFollow(rect, false));
    }
    started.Close(window);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick");
    PrintFollow("start to follow, the pointer brought near as a mouse moves it", mouse);
    PrintFollow("  in one jump that raises no input (seen at the 2 s tick)", jump);
}

// ------------------------------------------------------------------------------- floor program

// The periodic tick's own work: the window kept on top, and at every tenth tick the reload
// request read from the registry.
LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static int ticks = 0;
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_TIMER:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 64, 64, SWP_NOMOVE | SWP_NOACTIVATE);
        if (++ticks % idleTickThreshold == 0) {
            ReadReloadFlag(kMakerName, kProgramName);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One shown window with the program's periodic tick and its work, and its message loop: what any
// such window program costs to start and to idle.
int MinimalWindowProgram() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kMinimalClass;
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMinimalClass, L"", WS_POPUP | WS_VISIBLE,
                        0, 0, 64, 64, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetTimer(window, kMainTimerId, kMainTimerPeriod, nullptr);
    return RunMessageLoop();
}

bool Wanted(const std::vector<std::wstring>& figures, const wchar_t* name) {
    return figures.empty() || std::find(figures.begin(), figures.end(), name) != figures.end();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && lstrcmpW(argv[1], L"--minimal-window") == 0) {
        return MinimalWindowProgram();
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: ocellix_bench.exe <ocellix.exe> [figure...]\n"
                             "figures: shape layout catalogue runs hold startup follow\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    appInstance = GetModuleHandleW(nullptr);
    const std::wstring ocellix = argv[1];
    const std::vector<std::wstring> figures(argv + 2, argv + argc);

    std::printf("Medians of %d repetitions (per run: %d, the hold: %d), each against its floor "
                "measured in the same run.\n%-62s %10s %-6s %10s %-6s %8s\n",
                kRepetitions, kRunRepetitions, kHoldRepetitions, "figure", "Ocellix", "", "floor",
                "", "ratio");
    ScratchFolder scratch;
    const std::wstring folder = CopyShipped(scratch, DirectoryOf(ocellix) + L"Blinkets\\");
    if (Wanted(figures, L"shape")) {
        ShapeOfNoise();
    }
    if (Wanted(figures, L"layout")) {
        LayoutAndStrip(scratch, folder);
    }
    if (Wanted(figures, L"catalogue")) {
        Catalogue(scratch, folder);
    }
    if (Wanted(figures, L"runs")) {
        ShapePerRun();
    }
    if (Wanted(figures, L"hold")) {
        HoldDuringAnimation(folder);
    }
    if (Wanted(figures, L"startup")) {
        StartUp(ocellix);
    }
    if (Wanted(figures, L"follow")) {
        StartToFollow(ocellix);
    }
    CoUninitialize();
    return 0;
}
