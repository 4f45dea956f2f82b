// Owned Win32 handles: each guard releases what it holds when it goes out of scope.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <utility>

// A device context of a window (or of the screen, for a null window), released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context, deleted on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_) {
            DeleteDC(dc_);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// An object selected into a device context; the previous object is selected back on scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object (pen, brush, bitmap, region, font) deleted on scope exit unless released.
template <class T> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.object_, nullptr));
        }
        return *this;
    }
    T get() const { return object_; }
    T Release() { return std::exchange(object_, nullptr); }
    void Reset(T object = nullptr) {
        if (object_) {
            DeleteObject(object_);
        }
        object_ = object;
    }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T object_ = nullptr;
};

// An image list destroyed on scope exit unless released.
class ImageListHandle {
public:
    ImageListHandle() = default;
    explicit ImageListHandle(HIMAGELIST list) : list_(list) {}
    ~ImageListHandle() { Reset(); }
    ImageListHandle(const ImageListHandle&) = delete;
    ImageListHandle& operator=(const ImageListHandle&) = delete;
    HIMAGELIST get() const { return list_; }
    HIMAGELIST Release() { return std::exchange(list_, nullptr); }
    void Reset(HIMAGELIST list = nullptr) {
        if (list_) {
            ImageList_Destroy(list_);
        }
        list_ = list;
    }
    explicit operator bool() const { return list_ != nullptr; }

private:
    HIMAGELIST list_ = nullptr;
};

// A directory search handle, closed on scope exit.
class FindHandle {
public:
    explicit FindHandle(HANDLE find) : find_(find) {}
    ~FindHandle() {
        if (find_ != INVALID_HANDLE_VALUE) {
            FindClose(find_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return find_; }
    explicit operator bool() const { return find_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE find_;
};

// A kernel handle (file, process) closed on scope exit.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() {
        if (*this) {
            CloseHandle(handle_);
        }
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = nullptr;
};

// A view of a mapped file, unmapped on scope exit.
class MappedView {
public:
    explicit MappedView(const void* view) : view_(view) {}
    ~MappedView() {
        if (view_) {
            UnmapViewOfFile(view_);
        }
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    const void* get() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }

private:
    const void* view_;
};

// Files dropped on a window, released on scope exit unless finished earlier.
class DroppedFiles {
public:
    explicit DroppedFiles(HDROP drop) : drop_(drop) {}
    ~DroppedFiles() { Finish(); }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;
    HDROP get() const { return drop_; }
    void Finish() {
        if (drop_) {
            DragFinish(std::exchange(drop_, nullptr));
        }
    }

private:
    HDROP drop_;
};

// An icon made by the program, destroyed on scope exit.
class IconHandle {
public:
    explicit IconHandle(HICON icon) : icon_(icon) {}
    ~IconHandle() {
        if (icon_) {
            DestroyIcon(icon_);
        }
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    HICON get() const { return icon_; }
    explicit operator bool() const { return icon_ != nullptr; }

private:
    HICON icon_;
};

// A module loaded by the program, for its resources, freed on scope exit.
class LoadedModule {
public:
    explicit LoadedModule(HMODULE module) : module_(module) {}
    ~LoadedModule() {
        if (module_) {
            FreeLibrary(module_);
        }
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }

private:
    HMODULE module_;
};

// Memory the system allocated with LocalAlloc (an argument list, say), freed on scope exit.
template <class T> class LocalMemory {
public:
    explicit LocalMemory(T memory) : memory_(memory) {}
    ~LocalMemory() {
        if (memory_) {
            LocalFree(memory_);
        }
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    T get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }

private:
    T memory_;
};
