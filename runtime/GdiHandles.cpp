#include "runtime/GdiHandles.h"

#include "runtime/Exception.h"

namespace runtime {

MemoryDC::MemoryDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(nullptr) {
    if (!dc_) throw EOutOfResources(Msg::SOutOfResources);
    old_ = SelectObject(dc_, bitmap);
}

MemoryDC::~MemoryDC() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    DeleteDC(dc_);
}

}  // namespace runtime
