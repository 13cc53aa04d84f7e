#pragma once
// Components: named objects owned by another component that destroys them, newest first. A component told about
// another through FreeNotification hears of its removal, so that links between components never dangle.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/LayoutValue.h"
#include "runtime/Object.h"

class TLayoutContext;

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
  public:
    // The owner, when given, takes the new component and destroys it with itself; `delete` on an owned component
    // takes it back from its owner first.
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)).get(); }
    TComponent* FindComponent(std::string_view name) const;

    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }
    // The layout reader brackets its reading of a component with these; EndLoading calls Loaded.
    void BeginLoading() { loading_ = true; }
    void EndLoading();

    // Asks to be told (Notification with opRemove) when `component` is destroyed, and tells it the same of this.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Sets a property the layout file names; false when this class has no property of that name.
    virtual bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context);

  protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Runs once the layout has been read into the component (and into every other component of its form).
    virtual void Loaded() {}
    // Called first thing by the destructors of components that must stop reacting before they are taken apart.
    void MarkDestroying() { destroying_ = true; }

  private:
    void NotifyRemoval();

    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<std::unique_ptr<TComponent>> components_;
    std::vector<TComponent*> notified_;  // components to tell of this one's removal
    bool loading_ = false;
    bool destroying_ = false;
};

// The component as the class asked for, or an exception naming it when it is missing or of another class.
template <typename T>
T* FindRequired(const TComponent& owner, std::string_view name);

#include "framework/ComponentInline.h"
