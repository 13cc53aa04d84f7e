#include "runtime/Messages.h"

#include <array>

namespace {

#define MESSAGE(id, text) +1
constexpr size_t kMessageCount = 0
#include "resources/Messages.def"
    ;
#undef MESSAGE

}  // namespace

const std::string& LoadMessage(Msg id) {
    static const std::array<std::string, kMessageCount> texts = {
#define MESSAGE(id, text) text,
#include "resources/Messages.def"
#undef MESSAGE
    };
    return texts.at(static_cast<size_t>(id));
}
