// Other programs reach the settings through the registry: here the system's own reg.exe, run as
// a separate process against the real HKEY_CURRENT_USER (a process-local sandbox would hide
// the values from it), under a maker name of this test's own.
#include "store/Settings.h"

#include "base/Handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class OtherProgramTest : public testing::Test {
protected:
    void SetUp() override {
        maker = L"TarnwickTest" + std::to_wstring(GetCurrentProcessId());
        settingsKey = L"HKCU\\Software\\" + maker + L"\\" + kProgramName;
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + maker).c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + maker).c_str()); }

    // Runs reg.exe with the arguments and returns its exit code (-1 when it could not run);
    // what it prints is collected in output.
    static int RunReg(const std::wstring& arguments, std::string* output) {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        const std::wstring program = std::wstring(system) + L"\\reg.exe";
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;

        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
            return -1;
        }
        KernelHandle reader(readEnd);
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        PROCESS_INFORMATION process = {};
        {
            // Closed once the child has its copy: reading then ends when the child does.
            KernelHandle writer(writeEnd);
            STARTUPINFOW startup = {};
            startup.cb = sizeof(startup);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = writeEnd;
            startup.hStdError = writeEnd;
            if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
                return -1;
            }
        }
        KernelHandle child(process.hProcess);
        KernelHandle thread(process.hThread);
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            output->append(buffer, got);
        }
        DWORD exitCode = static_cast<DWORD>(-1);
        if (WaitForSingleObject(child.get(), 60000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(child.get(), &exitCode);
        }
        return static_cast<int>(exitCode);
    }

    std::wstring maker;
    std::wstring settingsKey;
};

TEST_F(OtherProgramTest, RegExeRaisesTheReloadRequest) {
    EXPECT_FALSE(ReadReloadFlag(maker.c_str(), kProgramName));
    std::string output;
    ASSERT_EQ(0, RunReg(L"add \"" + settingsKey + L"\" /v reload /t REG_DWORD /d 1 /f", &output))
        << output;
    EXPECT_TRUE(ReadReloadFlag(maker.c_str(), kProgramName));
    WriteReloadFlag(maker.c_str(), kProgramName, false);
    EXPECT_FALSE(ReadReloadFlag(maker.c_str(), kProgramName));
}

TEST_F(OtherProgramTest, RegExeReadsTheTapPoint) {
    SaveTapPoint(maker.c_str(), kProgramName, POINT{321, 45});
    std::string output;
    ASSERT_EQ(0, RunReg(L"query \"" + settingsKey + L"\" /v xTap", &output)) << output;
    EXPECT_NE(std::string::npos, output.find("xTap")) << output;
    EXPECT_NE(std::string::npos, output.find("REG_DWORD")) << output;
    EXPECT_NE(std::string::npos, output.find("0x141")) << output;
    output.clear();
    ASSERT_EQ(0, RunReg(L"query \"" + settingsKey + L"\" /v yTap", &output)) << output;
    EXPECT_NE(std::string::npos, output.find("0x2d")) << output;
}

}  // namespace
