#include "runtime/Exception.h"

#include <typeinfo>

#include "platform/win32.h"
#include "runtime/Object.h"

std::string Exception::ClassName() const { return runtime::ClassNameOf(typeid(*this)); }

namespace {

std::string InOutMessage(int32_t errorCode) {
    switch (errorCode) {
        case 2: return LoadMessage(Msg::SFileNotFound);
        case 3: return LoadMessage(Msg::SInvalidFileName);
        case 4: return LoadMessage(Msg::STooManyOpenFiles);
        case 5: return LoadMessage(Msg::SAccessDenied);
        case 100: return LoadMessage(Msg::SEndOfFile);
        case 101: return LoadMessage(Msg::SDiskFull);
        case 106: return LoadMessage(Msg::SInvalidInput);
        default: return Format(LoadMessage(Msg::SInOutError), errorCode);
    }
}

}  // namespace

EInOutError::EInOutError(int32_t errorCode) : Exception(InOutMessage(errorCode)), errorCode_(errorCode) {}

EInOutError EInOutError::FromLastError() {
    DWORD code = GetLastError();
    SetLastError(0);
    return EInOutError(static_cast<int32_t>(code));
}
