#include "runtime/Object.h"

#include <gtest/gtest.h>

class TPlainThing : public TObject {};

namespace korvo_fixture::inner {
class TOuter {
  public:
    class TInner {};
};
}  // namespace korvo_fixture::inner

namespace {

class THidden : public TObject {};

template <typename T>
class TBox {};

struct TArgument {};

// A local class in a function that takes parameters, and one more inside it.
std::string LocalNamesIn(int, const char*, TArgument&, unsigned long, double*) {
    struct TLocal : TObject {
        struct TInside {};
    };
    return TLocal().ClassName() + " " + runtime::ClassNameOf(typeid(TLocal::TInside));
}

TEST(ClassName, IsTheClassesOwnNameWhereverItIsDeclared) {
    using runtime::ClassNameOf;
    EXPECT_EQ(TPlainThing().ClassName(), "TPlainThing");
    EXPECT_EQ(THidden().ClassName(), "THidden") << "in an anonymous namespace";
    EXPECT_EQ(ClassNameOf(typeid(korvo_fixture::inner::TOuter)), "TOuter");
    EXPECT_EQ(ClassNameOf(typeid(korvo_fixture::inner::TOuter::TInner)), "TInner");
    EXPECT_EQ(ClassNameOf(typeid(std::string_view)), typeid(std::string_view).name()) << "a template is not read";
    EXPECT_EQ(ClassNameOf(typeid(TBox<TPlainThing>)), typeid(TBox<TPlainThing>).name());

    class TLocal : public TObject {};
    EXPECT_EQ(TLocal().ClassName(), "TLocal");
    {
        class TLocal : public TObject {};  // the same name again in this function carries a number after it
        EXPECT_EQ(TLocal().ClassName(), "TLocal");
    }
    TArgument argument;
    EXPECT_EQ(LocalNamesIn(0, nullptr, argument, 0, nullptr), "TLocal TInside");
}

}  // namespace
