#pragma once
// Templates of Component.h.

#include "runtime/Exception.h"

template <typename T>
T* FindRequired(const TComponent& owner, std::string_view name) {
    auto* found = dynamic_cast<T*>(owner.FindComponent(name));
    if (!found) throw Exception(Msg::SComponentMissing, name);
    return found;
}
