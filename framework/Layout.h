#pragma once
// Reading a form's layout: the components, their properties in the file's order, and their event bindings by the
// names of the form's handlers. A layout is a JSON resource:
//   { "class": "TAboutBox", "name": "AboutBox", "properties": { "Caption": "…", … },
//     "children": [ { "class": "TPanel", "name": "Panel1", "properties": { … }, "children": [ … ] }, … ] }
// The root's class names the form itself; children are made by class name, owned by the root and placed on the
// control whose "children" list holds them.

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"
#include "runtime/Exception.h"

// The form's event handlers by name, as the layout binds them. Each holds the event's own function type.
using THandlers = std::map<std::string, std::any, std::less<>>;

class TLayoutContext {
  public:
    TLayoutContext(TComponent& root, const THandlers& handlers) : root_(root), handlers_(handlers) {}

    TComponent& Root() const { return root_; }

    // The handler of that name, of the event type asked for.
    template <typename Event>
    Event Handler(std::string_view name) const {
        auto it = handlers_.find(name);
        if (it == handlers_.end()) throw Exception(Msg::SLayoutHandler, name);
        const Event* handler = std::any_cast<Event>(&it->second);
        if (!handler) throw Exception(Msg::SLayoutHandler, name);
        return *handler;
    }

    // A step that needs components read later in the file (a link to another component by name): it runs once
    // every component exists, before any is told that loading has ended.
    void Later(std::function<void()> step) { later_.push_back(std::move(step)); }
    void RunLaterSteps();

  private:
    TComponent& root_;
    const THandlers& handlers_;
    std::vector<std::function<void()>> later_;
};

// Makes the components of a class by name; every class a layout may name registers itself.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(std::string name, TComponentFactory factory);

template <typename T>
void RegisterComponentClass(std::string name) {
    RegisterComponentClass(std::move(name), [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// Reads the layout resource into `root` (which is of the layout's root class): names it, sets its properties,
// makes its components. Every component is loading meanwhile and is told when loading has ended. Raises an
// Exception naming what is wrong in the layout: a class, a property or a handler it does not know.
void ReadLayout(TComponent& root, std::string_view resourceName, const THandlers& handlers);
void ReadLayoutText(TComponent& root, std::string_view text, const THandlers& handlers);
