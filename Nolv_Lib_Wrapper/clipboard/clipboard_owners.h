// Owners for the clipboard and global memory, so that every path closes the
// clipboard, unlocks what it locked and frees a block nobody took over.
#pragma once

#include <windows.h>

// The clipboard opened with no owner window, or not opened. Another program
// may hold the clipboard for a moment (clipboard viewers do), so opening is
// retried for about half a second before giving up; then the failure is
// recorded, with the program that held it where Windows can tell.
class OpenedClipboard {
public:
    OpenedClipboard();
    ~OpenedClipboard();
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    explicit operator bool() const { return opened_; }

private:
    bool opened_ = false;
};

// A global memory block the library still owns.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL block) : block_(block) {}
    ~GlobalBlock() {
        if (block_ != nullptr) GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL get() const { return block_; }
    // Ownership passes to the clipboard.
    void release() { block_ = nullptr; }

private:
    HGLOBAL block_;
};

// A global memory handle locked for reading.
class LockedGlobal {
public:
    explicit LockedGlobal(HANDLE handle) : handle_(handle), data_(GlobalLock(handle)) {}
    ~LockedGlobal() {
        if (data_ != nullptr) GlobalUnlock(handle_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

    const char* text() const { return static_cast<const char*>(data_); }

private:
    HANDLE handle_;
    void* data_;
};
