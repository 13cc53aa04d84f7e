#include "runtime/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

std::string TObject::ClassName() const { return runtime::ClassNameOf(typeid(*this)); }

namespace runtime {

namespace {

// Drops the qualifiers in front of the last "::" that is not inside template arguments or parentheses
// ("(anonymous namespace)::TFake" becomes "TFake").
std::string WithoutQualifiers(const std::string& name) {
    size_t start = 0;
    int depth = 0;
    for (size_t i = 0; i + 1 < name.size(); ++i) {
        char c = name[i];
        if (c == '<' || c == '(') ++depth;
        else if ((c == '>' || c == ')') && depth > 0) --depth;
        else if (depth == 0 && c == ':' && name[i + 1] == ':') start = i + 2;
    }
    return name.substr(start);
}

}  // namespace

std::string ClassNameOf(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                          &std::free);
    if (status != 0 || !demangled) return type.name();
    return WithoutQualifiers(demangled.get());
}

}  // namespace runtime
