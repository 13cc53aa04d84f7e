// Components and the layout reader: ownership and destruction order, removal notices, and layouts read in the
// file's order with the loading state set and each component told when loading has ended.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "runtime/Exception.h"

namespace {

std::vector<std::string> journal;

class TRecorder : public TComponent {
  public:
    explicit TRecorder(TComponent* owner) : TComponent(owner) {}
    ~TRecorder() override { journal.push_back("destroy " + Name()); }

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override {
        if (name == "Note") {
            journal.push_back(Name() + " " + value.Text() + (Loading() ? " while loading" : ""));
            return true;
        }
        if (name == "Partner") {
            std::string partner = value.Text();
            context.Later([this, partner] { partner_ = FindRequired<TRecorder>(*Owner(), partner); });
            return true;
        }
        return TComponent::ReadProperty(name, value, context);
    }
    TRecorder* partner_ = nullptr;
    TComponent* removed_ = nullptr;

  protected:
    void Loaded() override { journal.push_back("loaded " + Name() + (partner_ ? " with " + partner_->Name() : "")); }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove) removed_ = component;
    }
};

class TRecorderRoot : public TRecorder {
  public:
    using TRecorder::TRecorder;
};

class Components : public ::testing::Test {
  protected:
    Components() {
        journal.clear();
        RegisterComponentClass<TRecorder>("TRecorder");
        RegisterFrameworkComponents();
    }
};

std::string LayoutError(const std::string& text) {
    TRecorderRoot root(nullptr);
    try {
        ReadLayoutText(root, text, {});
    } catch (const Exception& error) {
        return error.Message();
    }
    return "no error";
}

}  // namespace

TEST_F(Components, AnOwnerDestroysItsComponentsNewestFirstAndForgetsOnesDeletedBefore) {
    auto* owner = new TRecorder(nullptr);
    owner->SetName("owner");
    for (const char* name : {"first", "second", "third"}) (new TRecorder(owner))->SetName(name);
    delete owner->FindComponent("second");
    EXPECT_EQ(owner->ComponentCount(), 2);
    delete owner;
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy second", "destroy owner", "destroy third", "destroy first"}));
}

TEST_F(Components, ALinkedComponentHearsOfTheOthersRemoval) {
    TRecorder watcher(nullptr);
    auto* watched = new TRecorder(nullptr);
    watched->FreeNotification(&watcher);
    delete watched;
    EXPECT_EQ(watcher.removed_, watched);
    // And the other way round: the watcher's end is told to the component it watched.
    TRecorder kept(nullptr);
    const TComponent* ended = nullptr;
    {
        TRecorder shortLived(nullptr);
        kept.FreeNotification(&shortLived);
        ended = &shortLived;
    }
    EXPECT_EQ(kept.removed_, ended) << "told of the component that ended, not of any";
}

TEST_F(Components, ALayoutIsReadInItsOwnOrderAndEveryComponentIsToldWhenItEnds) {
    TRecorderRoot root(nullptr);
    ReadLayoutText(root, R"({ "class": "TRecorderRoot", "name": "Root", "properties": { "Note": "a" },
        "children": [
          { "class": "TRecorder", "name": "One", "properties": { "Note": "b", "Partner": "Two" } },
          { "class": "TRecorder", "name": "Two", "properties": { "Note": "c" } } ] })",
                   {});
    EXPECT_EQ(journal, (std::vector<std::string>{"Root a while loading", "One b while loading", "Two c while loading",
                                                 "loaded Root", "loaded One with Two", "loaded Two"}));
    EXPECT_FALSE(root.Loading());
    EXPECT_EQ(root.ComponentCount(), 2);
}

TEST_F(Components, AFaultyLayoutIsReportedByName) {
    EXPECT_EQ(LayoutError(R"({ "class": "TRecorderRoot", "children": [ { "class": "TNoSuchThing" } ] })"),
              "レイアウトのクラス TNoSuchThing がありません");
    EXPECT_EQ(LayoutError(R"({ "class": "TRecorderRoot", "properties": { "Colour": 3 } })"),
              "TRecorderRoot にはプロパティ Colour がありません");
    EXPECT_EQ(LayoutError(R"({ "class": "TRecorderRoot", "children": [
                  { "class": "TButton", "properties": { "OnClick": "Missing" } } ] })"),
              "イベント ハンドラ Missing がありません");
    EXPECT_EQ(LayoutError(R"({ "class": "TRecorderRoot", "children": [
                  { "class": "TRecorder", "properties": { "Partner": "Nobody" } } ] })"),
              "コンポーネント Nobody がありません");
    EXPECT_EQ(LayoutError(R"({ "class": "TAboutBox" })"), "レイアウトのクラス TAboutBox がありません")
        << "a layout for another class";
    EXPECT_NE(LayoutError(R"({ "class": "TRecorderRoot", )").find("レイアウトを読めません"), std::string::npos);
}

TEST_F(Components, TabOrdersFromALayoutHoldWhateverOrderTheControlsAreListedIn) {
    TPanel root(nullptr);
    ReadLayoutText(root, R"({ "class": "TPanel", "name": "Root", "children": [
        { "class": "TEdit", "name": "Third", "properties": { "TabOrder": 2 } },
        { "class": "TEdit", "name": "Unordered" },
        { "class": "TEdit", "name": "First", "properties": { "TabOrder": 0 } },
        { "class": "TPanel", "name": "Second", "properties": { "TabOrder": 1 }, "children": [
            { "class": "TEdit", "name": "Inner2", "properties": { "TabOrder": 1 } },
            { "class": "TEdit", "name": "Inner1", "properties": { "TabOrder": 0 } } ] } ] })",
                   {});
    std::vector<std::string> names;
    for (TWinControl* control : root.TabOrderList()) names.push_back(control->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Unordered", "Second", "Inner1", "Inner2", "Third"}));
    auto* third = FindRequired<TEdit>(root, "Third");
    EXPECT_EQ(third->TabOrder(), 3);
    third->SetTabOrder(0);  // after loading, at once
    EXPECT_EQ(third->TabOrder(), 0);
}
