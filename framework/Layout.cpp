#include "framework/Layout.h"

#include <map>

#include "framework/WinControl.h"

namespace {

std::map<std::string, TComponentFactory, std::less<>>& Factories() {
    static std::map<std::string, TComponentFactory, std::less<>> factories;
    return factories;
}

void ReadComponent(TComponent& component, const TLayoutValue& node, TLayoutContext& context,
                   std::vector<TComponent*>& loaded) {
    component.BeginLoading();
    loaded.push_back(&component);
    if (auto name = node.Member("name")) component.SetName(name->Text());
    if (auto properties = node.Member("properties"))
        for (const auto& [property, value] : properties->Members())
            if (!component.ReadProperty(property, value, context))
                throw Exception(Msg::SLayoutProperty, component.ClassName(), property);
    auto children = node.Member("children");
    if (!children) return;
    for (const TLayoutValue& child : children->Items()) {
        auto className = child.Member("class");
        if (!className) throw Exception(Msg::SLayoutClass, child.Describe());
        auto factory = Factories().find(className->Text());
        if (factory == Factories().end()) throw Exception(Msg::SLayoutClass, className->Text());
        TComponent* made = factory->second(&context.Root());
        // A control is placed on the control whose list holds it before its properties are read, so that it
        // can take its parent's font and colour.
        auto* control = dynamic_cast<TControl*>(made);
        auto* parent = dynamic_cast<TWinControl*>(&component);
        if (control && parent) control->SetParent(parent);
        ReadComponent(*made, child, context, loaded);
    }
}

}  // namespace

void TLayoutContext::RunLaterSteps() {
    for (size_t i = 0; i < later_.size(); ++i) later_[i]();
    later_.clear();
}

void RegisterComponentClass(std::string name, TComponentFactory factory) {
    Factories()[std::move(name)] = std::move(factory);
}

void ReadLayout(TComponent& root, std::string_view resourceName, const THandlers& handlers) {
    std::string name(resourceName);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), RT_RCDATA);
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw Exception(Msg::SLayoutMissing, name);
    ReadLayoutText(root, std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)), handlers);
}

void ReadLayoutText(TComponent& root, std::string_view text, const THandlers& handlers) {
    TLayoutValue layout = TLayoutValue::Parse(text);
    if (auto className = layout.Member("class"); !className || className->Text() != root.ClassName())
        throw Exception(Msg::SLayoutClass, className ? className->Text() : layout.Describe());
    TLayoutContext context(root, handlers);
    std::vector<TComponent*> loaded;
    ReadComponent(root, layout, context, loaded);
    context.RunLaterSteps();
    for (TComponent* component : loaded) component->EndLoading();
}
