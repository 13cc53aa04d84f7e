#include "runtime/Object.h"

#include <optional>
#include <string_view>

std::string TObject::ClassName() const { return runtime::ClassNameOf(typeid(*this)); }

namespace runtime {

namespace {

// Reads the part of the compiler's mangled type names (the Itanium C++ ABI's) that our classes use: a plain name
// ("6TLabel"), a name inside namespaces or classes ("N7runtime5TFakeE", with "_GLOBAL__N_1" for an anonymous
// namespace) and a class local to a function ("Z<function>E6TLocal"), whose function may take parameters of the
// simple kinds. Each name read gives its last part, the class's own name; anything else (templates, lambdas,
// operators) is not read at all.
class MangledName {
  public:
    explicit MangledName(std::string_view text) : text_(text) {}

    std::optional<std::string> ClassName() {
        std::optional<std::string> name = Name();
        if (!name || pos_ != text_.size()) return std::nullopt;
        return name;
    }

  private:
    char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    bool Take(char c) {
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    bool TakeOneOf(std::string_view set) {
        if (pos_ >= text_.size() || set.find(text_[pos_]) == std::string_view::npos) return false;
        ++pos_;
        return true;
    }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // <length><identifier>
    std::optional<std::string> SourceName() {
        size_t length = 0;
        if (!IsDigit(Peek())) return std::nullopt;
        while (IsDigit(Peek())) {
            length = length * 10 + static_cast<size_t>(Peek() - '0');
            if (length > text_.size()) return std::nullopt;
            ++pos_;
        }
        if (length == 0 || length > text_.size() - pos_) return std::nullopt;
        std::string name(text_.substr(pos_, length));
        pos_ += length;
        return name;
    }

    std::optional<std::string> Name() {
        if (Take('N')) return NestedName();
        if (Take('Z')) return LocalName();
        if (Take('S') && !Take('t')) return std::nullopt;  // "St6thread", std::thread
        return SourceName();
    }

    // N [r][V][K][R|O] <part>... E; a function's own name may end in a constructor or destructor.
    std::optional<std::string> NestedName() {
        while (Take('r') || Take('V') || Take('K')) {}
        if (!Take('R')) Take('O');
        std::optional<std::string> last;
        if (Take('S') && !Take('t') && !SkipSubstitution()) return std::nullopt;  // std:: or a namespace named before
        while (!Take('E')) {
            bool constructor = Peek() == 'C' && Peek(1) >= '1' && Peek(1) <= '5';
            if (constructor || (Peek() == 'D' && Peek(1) >= '0' && Peek(1) <= '5')) {
                pos_ += 2;
                continue;
            }
            last = SourceName();
            if (!last) return std::nullopt;
        }
        return last;
    }

    // Z <function name> <parameter types> E <name> [<discriminator>], the name plain or nested
    std::optional<std::string> LocalName() {
        if (!Name()) return std::nullopt;
        do {
            if (!SkipType()) return std::nullopt;
        } while (Peek() != 'E');
        ++pos_;
        std::optional<std::string> name = Name();
        // _<digit> or __<number>_ tells apart classes of one name in one function.
        if (name && Take('_')) {
            if (Take('_')) {
                while (IsDigit(Peek())) ++pos_;
                if (!Take('_')) return std::nullopt;
            } else if (!IsDigit(Peek())) {
                return std::nullopt;
            } else {
                ++pos_;
            }
        }
        return name;
    }

    // Built-in types, pointers, references, qualifiers, class types and substitutions (which need no resolving
    // here, as only the local class's name is wanted).
    bool SkipType() {
        if (TakeOneOf("vwbcahstijlmxynofdegz")) return true;
        if (TakeOneOf("PROKVr")) return SkipType();
        if (Peek() == 'D' && std::string_view("nisu").find(Peek(1)) != std::string_view::npos) {
            pos_ += 2;
            return true;
        }
        if (Take('S')) {
            if (Take('t')) return SourceName().has_value();
            return TakeOneOf("absiod") || SkipSubstitution();
        }
        return Name().has_value();
    }

    // The rest of S_ or S<base-36 number>_, a reference to a name or type that came earlier.
    bool SkipSubstitution() {
        while (IsDigit(Peek()) || (Peek() >= 'A' && Peek() <= 'Z')) ++pos_;
        return Take('_');
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::string ClassNameOf(const std::type_info& type) {
    // A name that cannot be read is shown as the compiler gives it, which still tells a programmer the class.
    return MangledName(type.name()).ClassName().value_or(type.name());
}

}  // namespace runtime
