// Helpers of the configuration dialog tests: a script that acts on modal dialogs as they come up,
// list-view rows read back, and image catalogues of made-up pictures.
#pragma once

#include "dialogs/ImageCatalogue.h"
#include "platform/PocketShell.h"
#include "support/TestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace dialogstest {

// A dialog of this thread with the caption that a user could act on, or null.
inline HWND FindDialog(const wchar_t* caption) {
    struct Search {
        const wchar_t* caption;
        HWND found;
    } search = {caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t text[64] = {};
            wchar_t type[16] = {};
            GetClassNameW(window, type, 16);
            GetWindowTextW(window, text, 64);
            if (wcscmp(type, L"#32770") == 0 && wcscmp(text, s->caption) == 0 &&
                IsWindowEnabled(window) && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline void PressDone(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, kDoneNotification), 0);
}

// A click as the button sends it.
inline void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Steps run one by one from a timer, each as soon as an enabled dialog with its caption is up,
// also inside the modal loops that earlier steps open. A script that stalls finishes every
// dialog it can find, so that no test hangs.
class ModalScript {
public:
    using Step = std::function<void(HWND)>;
    ModalScript() {
        current = this;
        timer = SetTimer(nullptr, 0, 10, Tick);
    }
    ~ModalScript() {
        KillTimer(nullptr, timer);
        current = nullptr;
        EXPECT_TRUE(steps.empty()) << "steps left, first for " << Narrow(steps.front().first);
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& On(const wchar_t* caption, Step step) {
        steps.emplace_back(caption, std::move(step));
        return *this;
    }
    ModalScript& Done(const wchar_t* caption) { return On(caption, PressDone); }

private:
    static std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* script = current;
        if (!script) {
            return;
        }
        if (script->steps.empty()) {
            if (script->running) {
                return;  // the dialog is the running step's own
            }
            // A dialog nobody expected: fail, and close it rather than hang.
            for (const wchar_t* caption : {L"Locate", L"Edit Item"}) {
                if (HWND open = FindDialog(caption)) {
                    ADD_FAILURE() << "unexpected dialog " << Narrow(caption);
                    PressDone(open);
                }
            }
            return;
        }
        HWND dialog = FindDialog(script->steps.front().first.c_str());
        if (!dialog) {
            if (++script->stalled > kStallTicks) {
                ADD_FAILURE() << "no dialog " << Narrow(script->steps.front().first);
                script->steps.clear();
                for (const wchar_t* caption : {L"Locate", L"Edit Item", L"Options"}) {
                    if (HWND open = FindDialog(caption)) {
                        PressDone(open);
                    }
                }
            }
            return;
        }
        script->stalled = 0;
        Step step = std::move(script->steps.front().second);
        script->steps.pop_front();
        ++script->running;
        step(dialog);
        --script->running;
    }
    static constexpr int kStallTicks = 1000;
    static inline ModalScript* current = nullptr;
    UINT_PTR timer = 0;
    int stalled = 0;
    int running = 0;  // steps under way, nested ones included
    std::deque<std::pair<std::wstring, Step>> steps;
};

struct Row {
    std::wstring text;
    int image;
    int data;
    bool operator==(const Row&) const = default;
};

inline void PrintTo(const Row& row, std::ostream* out) {
    *out << "{\"" << std::string(row.text.begin(), row.text.end()) << "\", " << row.image << ", "
         << row.data << "}";
}

inline std::vector<Row> ReadRows(HWND list, int* selected = nullptr) {
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({text, item.iImage, static_cast<int>(item.lParam)});
    }
    if (selected) {
        *selected = static_cast<int>(
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    return rows;
}

// Selects the row alone, or none for -1.
inline void SelectRow(HWND list, int row) {
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (row == -1) {
        return;
    }
    LVITEMW item = {};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The colour a list view paints near the right end of the row, the row's background when it
// is drawn into a bitmap as it would be on screen.
inline COLORREF RowBackground(HWND list, int row) {
    RECT client = {};
    GetClientRect(list, &client);
    testsupport::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    return canvas.Pixel(bounds.right - 5, (bounds.top + bounds.bottom) / 2);
}

// A horizontal strip of square frames of side pixels, frame f in colours[f] (0x00RRGGBB) with
// its top-left quarter in the key colour.
inline std::string StripBmp(int side, const std::vector<unsigned>& colours) {
    const int width = side * static_cast<int>(colours.size());
    std::vector<unsigned> pixels(static_cast<size_t>(width * side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool corner = x % side < side / 4 && y < side / 4;
            pixels[static_cast<size_t>(y * width + x)] = corner ? 0x800080 : colours[x / side];
        }
    }
    return testsupport::MakeBmp(width, side, pixels.data());
}

// A catalogue of a temporary folder, freed at the end.
class TempCatalogue {
public:
    ~TempCatalogue() { FreeImageCatalogue(); }
    std::wstring Add(const std::wstring& name, const std::string& bytes) {
        return dir.WriteFile(name, bytes);
    }
    void Load() { LoadImageCatalogue(nullptr, dir.path().c_str()); }
    // Appends the folder's images to the catalogue's, for an order of images that the test sets.
    void Scan() { ScanImageFolder(dir.path().c_str(), imageFiles); }
    const std::wstring& folder() const { return dir.path(); }

private:
    testsupport::TempDir dir;
};

}  // namespace dialogstest
