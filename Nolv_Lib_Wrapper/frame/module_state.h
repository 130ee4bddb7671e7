// The class library's module state: which module's resources and
// application object a call runs against. The current state is kept per
// thread; every guarded export switches it to this library's own state and
// restores the caller's on the way out.
#pragma once

class CWinApp;

struct AFX_MODULE_STATE {
    CWinApp* m_pCurrentWinApp = nullptr;
};

// This library's own module state, created first among its static objects.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// The module state current on the calling thread (null before any switch).
AFX_MODULE_STATE* AfxGetModuleState();

// Switches the thread's module state for the lifetime of the scope and
// restores the previous one on every way out, exceptions included.
class AFX_MAINTAIN_STATE {
public:
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE();
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

private:
    AFX_MODULE_STATE* previous_;
};
