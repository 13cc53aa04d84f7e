#include "framework/Component.h"

#include <algorithm>

#include "platform/win32.h"

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.emplace_back(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    NotifyRemoval();
    // Owned components go newest first. Each is taken out of the list before it dies, so that it does not try to
    // take itself back from this half-destroyed owner.
    while (!components_.empty()) {
        std::unique_ptr<TComponent> newest = std::move(components_.back());
        components_.pop_back();
        newest->owner_ = nullptr;
        newest.reset();
    }
    if (owner_) {
        auto& siblings = owner_->components_;
        auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
        if (it != siblings.end()) {
            it->release();  // this object is being destroyed already
            siblings.erase(it);
        }
        owner_->Notification(this, TOperation::opRemove);
    }
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    auto same = [name](const std::string& other) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, other.data(), static_cast<int>(other.size()),
                              name.data(), static_cast<int>(name.size())) == CSTR_EQUAL;
    };
    for (const auto& component : components_)
        if (same(component->name_)) return component.get();
    return nullptr;
}

void TComponent::EndLoading() {
    loading_ = false;
    Loaded();
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(notified_.begin(), notified_.end(), component) == notified_.end()) notified_.push_back(component);
    if (std::find(component->notified_.begin(), component->notified_.end(), this) == component->notified_.end())
        component->notified_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    std::erase(notified_, component);
    std::erase(component->notified_, this);
}

bool TComponent::ReadProperty(std::string_view, const TLayoutValue&, TLayoutContext&) { return false; }

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) std::erase(notified_, component);
}

void TComponent::NotifyRemoval() {
    while (!notified_.empty()) {
        TComponent* other = notified_.back();
        notified_.pop_back();
        std::erase(other->notified_, this);
        other->Notification(this, TOperation::opRemove);
    }
}
