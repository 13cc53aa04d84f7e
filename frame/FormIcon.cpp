// How a form's icon reaches its window and the desktop.

#include "frame/Forms.h"
#include "runtime/Exception.h"

void TCustomForm::CreateWnd() {
    TFormBase::CreateWnd();
    if (!icon_.Empty()) UpdateIcon();
}

void TCustomForm::UpdateIcon() {
    if (!HandleAllocated()) return;  // the window gets it when it is made
    IconHandle icon;
    if (!icon_.Empty()) {
        ICONINFO info{TRUE, 0, 0, icon_.MaskHandle(icon_.TransparentColor()), icon_.Handle()};
        icon.reset(CreateIconIndirect(&info));
        if (!icon) throw EOutOfResources(Msg::SOutOfResources);
    }
    // The desktop shows one picture, which scales it as it needs: the same icon serves as both.
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    iconHandle_ = std::move(icon);  // the window holds the new one now, so the old one can go
}
