// Shared helpers of the test executables.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Redirects HKEY_CURRENT_USER of this process to a fresh key of its own for the object's
// lifetime, and deletes that key afterwards: no test sees another's or the user's values.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    bool ok() const { return root_ != nullptr; }
    // The real key that stands in for HKEY_CURRENT_USER, below the real HKEY_CURRENT_USER.
    const std::wstring& path() const { return path_; }

private:
    HKEY root_ = nullptr;
    std::wstring path_;
};

// A fresh folder under the temporary folder, deleted with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending with a backslash.
    const std::wstring& path() const { return path_; }
    // Creates a file (and any folders on its way) below the folder; returns its full path.
    std::wstring WriteFile(const std::wstring& relative, const std::string& bytes) const;
    std::wstring MakeDir(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// Deletes a folder and everything below it.
void DeleteTree(const std::wstring& folder);

// The number of GDI objects the process can still create: brushes are created until creation
// fails, counted and freed. Wine answers 0 to GetGuiResources, so leaks are found by comparing
// this capacity before and after an operation.
int FreeGdiCapacity();
// The same for USER objects, measured with menus.
int FreeUserCapacity();

// The directory of the running test executable, ending with a backslash.
std::wstring ExeDirectory();

// Writes a 32-bit bottom-up BMP file of the given pixels (0x00RRGGBB, rows top first).
std::string MakeBmp(int width, int height, const unsigned* pixels);

}  // namespace testsupport
