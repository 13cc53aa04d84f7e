#pragma once
// The root of the program's class tree. Its one service is the class name that error texts print
// ("TStringList"), read from the type information so that no class has to spell out its own name.

#include <string>
#include <typeinfo>

class TObject {
  public:
    TObject() = default;
    virtual ~TObject() = default;

    // The name of the object's dynamic class, without namespaces.
    std::string ClassName() const;
};

namespace runtime {

// The name of a class as it is written in its declaration, without the namespaces around it ("TStringList").
std::string ClassNameOf(const std::type_info& type);

}  // namespace runtime
