#pragma once
// The progress shown on a window's taskbar button. Win32 reaches it through
// the shell's taskbar list; tests use a fake.
#include <windows.h>

#include <shobjidl.h>
#include <wrl/client.h>

class TaskbarButton {
public:
    enum class State { None, Normal, Error };
    virtual ~TaskbarButton() = default;
    virtual void setProgress(HWND window, unsigned long long completed, unsigned long long total) = 0;
    virtual void setState(HWND window, State state) = 0;
};

// Shows it on the shell's taskbar button; does nothing where the shell has
// no taskbar list (the button is an extra, never worth a failure).
class Win32TaskbarButton : public TaskbarButton {
public:
    void setProgress(HWND window, unsigned long long completed, unsigned long long total) override;
    void setState(HWND window, State state) override;

private:
    ITaskbarList3* list();
    Microsoft::WRL::ComPtr<ITaskbarList3> list_;
    bool tried_ = false;
};
