#include "platform/PocketShell.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int kEditId = 1000;
constexpr DWORD kPocketFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
constexpr UINT_PTR kSafetyTimer = 77;

using Command = std::pair<WORD, WORD>;  // id, notification code

// What one dialog asks of the shell and what its procedure saw.
struct DialogRun {
    DWORD flags = kPocketFlags;
    bool endOnDone = false;
    // A message posted once the dialog is up, to a control or (id 0) to the dialog itself.
    int postTo = 0;
    UINT post = 0;
    WPARAM postWParam = 0;
    std::vector<Command> commands;
};

// An in-memory dialog template: a captioned popup with an edit control and, if asked, a
// default push button with id 1.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, bool okButton) {
        Add32(style | DS_SETFONT);
        Add32(0);
        Add16(okButton ? 2 : 1);
        AddSize(10, 10, 160, 80);
        Add16(0);  // no menu
        Add16(0);  // the dialog class
        AddText(L"Test");
        Add16(8);
        AddText(L"MS Shell Dlg");
        AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kEditId, 0x0081);
        if (okButton) {
            AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 0x0080);
        }
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Add16(WORD value) { words_.push_back(value); }
    void Add32(DWORD value) {
        Add16(LOWORD(value));
        Add16(HIWORD(value));
    }
    void AddSize(short x, short y, short cx, short cy) {
        for (short value : {x, y, cx, cy}) {
            Add16(static_cast<WORD>(value));
        }
    }
    void AddText(const wchar_t* text) {
        do {
            Add16(*text);
        } while (*text++);
    }
    void AddItem(DWORD style, WORD id, WORD classAtom) {
        if (words_.size() % 2) {
            Add16(0);  // items start on a DWORD boundary
        }
        Add32(style);
        Add32(0);
        AddSize(5, 5 + 20 * (id == IDOK), 100, 14);
        Add16(id);
        Add16(0xFFFF);
        Add16(classAtom);
        AddText(L"");
        Add16(0);  // no creation data
    }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogRun* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        run = reinterpret_cast<DialogRun*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, run->flags};
        SHInitDialog(&init);
        SHMENUBARINFO bar = {};
        bar.cbSize = sizeof(bar);
        bar.hwndParent = dialog;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        SHCreateMenuBar(&bar);
        if (run->post) {
            HWND target = run->postTo ? GetDlgItem(dialog, run->postTo) : dialog;
            PostMessageW(target, run->post, run->postWParam, 0);
            SetTimer(dialog, kSafetyTimer, 10000, nullptr);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != kEditId) {  // the edit control's own notifications do not count
            run->commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        }
        if (run->endOnDone && LOWORD(wParam) == IDOK && HIWORD(wParam) != 0) {
            EndDialog(dialog, 1);
        }
        return TRUE;
    case WM_TIMER:  // the posted key never arrived as a command: do not hang the suite
        EndDialog(dialog, -2);
        return TRUE;
    }
    return FALSE;
}

testsupport::OwnedWindow OpenModeless(DialogRun& run, DWORD style, bool okButton = false) {
    const DialogTemplate made(style, okButton);
    return testsupport::OwnedWindow(CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                               made.get(), nullptr, TestDialogProc,
                                                               reinterpret_cast<LPARAM>(&run)));
}

const Command kDone = {IDOK, kDoneNotification};

TEST(PocketDialog, FullScreenFillsTheWorkAreaAndTheCloseBoxIsThere) {
    DialogRun run;
    const auto dialog = OpenModeless(run, WS_POPUP | WS_CAPTION);
    ASSERT_NE(nullptr, dialog.get());
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(
        GetMonitorInfoW(MonitorFromWindow(dialog.get(), MONITOR_DEFAULTTONEAREST), &monitor));
    RECT window = {};
    GetWindowRect(dialog.get(), &window);
    EXPECT_TRUE(EqualRect(&monitor.rcWork, &window))
        << window.left << "," << window.top << "," << window.right << "," << window.bottom;
    EXPECT_TRUE(GetWindowLongPtrW(dialog.get(), GWL_STYLE) & WS_SYSMENU);

    DialogRun plain;
    plain.flags = SHIDIF_DONEBUTTON;
    const auto small = OpenModeless(plain, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    GetWindowRect(small.get(), &window);
    EXPECT_LT(window.right - window.left, monitor.rcWork.right - monitor.rcWork.left);
}

TEST(PocketDialog, EscEnterAndTheCloseBoxEndTheModalLoopAsDone) {
    const struct {
        int to;
        UINT message;
        WPARAM wParam;
    } posts[] = {
        {kEditId, WM_KEYDOWN, VK_ESCAPE},  // the dialog manager makes it IDCANCEL
        {kEditId, WM_KEYDOWN, VK_RETURN},  // IDOK with code 0, no control with id 1
        {0, WM_SYSCOMMAND, SC_CLOSE},
        {0, WM_CLOSE, 0},
    };
    for (const auto& post : posts) {
        SCOPED_TRACE(testing::Message() << "message " << post.message << " " << post.wParam);
        DialogRun run;
        run.endOnDone = true;
        run.postTo = post.to;
        run.post = post.message;
        run.postWParam = post.wParam;
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU, false);
        const INT_PTR result =
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                    TestDialogProc, reinterpret_cast<LPARAM>(&run));
        EXPECT_EQ(1, result);
        EXPECT_EQ(std::vector<Command>{kDone}, run.commands);
    }
}

TEST(PocketDialog, OtherCommandsPassUnchangedAndAskingTwiceSendsOneDone) {
    DialogRun run;
    const auto dialog = OpenModeless(run, WS_POPUP | WS_CAPTION | WS_SYSMENU, true);
    ASSERT_NE(nullptr, dialog.get());
    SHINITDLGINFO again = {SHIDIM_FLAGS, dialog.get(), SHIDIF_DONEBUTTON};
    EXPECT_TRUE(SHInitDialog(&again));
    // A real button with id 1 keeps its click; a combo box's selection change keeps code 1.
    SendMessageW(dialog.get(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog.get(), IDOK)));
    SendMessageW(dialog.get(), WM_COMMAND, MAKEWPARAM(1007, CBN_SELCHANGE), 0);
    SendMessageW(dialog.get(), WM_SYSCOMMAND, SC_CLOSE, 0);
    const std::vector<Command> expected = {{IDOK, BN_CLICKED}, {1007, CBN_SELCHANGE}, kDone};
    EXPECT_EQ(expected, run.commands);
    EXPECT_TRUE(IsWindow(dialog.get()));  // closing is the procedure's decision
}

TEST(PocketMenuBar, EmptyBarSucceedsAndShowsNothing) {
    DialogRun run;
    const auto dialog = OpenModeless(run, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ASSERT_NE(nullptr, dialog.get());
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = dialog.get();
    bar.dwFlags = SHCMBF_EMPTYBAR;
    bar.hwndMB = reinterpret_cast<HWND>(1);
    EXPECT_TRUE(SHCreateMenuBar(&bar));
    EXPECT_EQ(nullptr, bar.hwndMB);
    HWND onlyChild = GetWindow(dialog.get(), GW_CHILD);  // the edit control, nothing added
    EXPECT_EQ(kEditId, GetDlgCtrlID(onlyChild));
    EXPECT_EQ(nullptr, GetWindow(onlyChild, GW_HWNDNEXT));

    bar.dwFlags = 0;
    bar.nToolBarId = 100;
    EXPECT_FALSE(SHCreateMenuBar(&bar));
    EXPECT_EQ(nullptr, bar.hwndMB);
}

}  // namespace
