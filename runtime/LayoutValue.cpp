#include "runtime/LayoutValue.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "runtime/Exception.h"

namespace {

using Json = nlohmann::ordered_json;

[[noreturn]] void Refuse(const Json& value, const char* wanted) {
    std::string text = value.dump();
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    throw EConvertError(Msg::SLayoutValue, text, wanted);
}

}  // namespace

TLayoutValue TLayoutValue::Parse(std::string_view text) {
    try {
        return TLayoutValue(std::make_shared<const Json>(Json::parse(text)));
    } catch (const nlohmann::json::parse_error& error) {
        throw EConvertError(Msg::SLayoutSyntax, error.what());
    }
}

bool TLayoutValue::IsText() const { return value_->is_string(); }
bool TLayoutValue::IsNumber() const { return value_->is_number(); }
bool TLayoutValue::IsBoolean() const { return value_->is_boolean(); }
bool TLayoutValue::IsList() const { return value_->is_array(); }
bool TLayoutValue::IsObject() const { return value_->is_object(); }

std::string TLayoutValue::Text() const {
    if (!IsText()) Refuse(*value_, "text");
    return value_->get<std::string>();
}

int32_t TLayoutValue::Integer() const {
    if (!value_->is_number_integer()) Refuse(*value_, "integer");
    auto number = value_->get<int64_t>();
    if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
        Refuse(*value_, "integer");
    return static_cast<int32_t>(number);
}

bool TLayoutValue::Boolean() const {
    if (!IsBoolean()) Refuse(*value_, "true/false");
    return value_->get<bool>();
}

std::vector<TLayoutValue> TLayoutValue::Items() const {
    if (!IsList()) Refuse(*value_, "list");
    std::vector<TLayoutValue> items;
    for (const Json& item : *value_) items.push_back(TLayoutValue(std::make_shared<const Json>(item)));
    return items;
}

std::vector<std::pair<std::string, TLayoutValue>> TLayoutValue::Members() const {
    if (!IsObject()) Refuse(*value_, "object");
    std::vector<std::pair<std::string, TLayoutValue>> members;
    for (const auto& [name, member] : value_->items())
        members.emplace_back(name, TLayoutValue(std::make_shared<const Json>(member)));
    return members;
}

std::optional<TLayoutValue> TLayoutValue::Member(std::string_view name) const {
    if (!IsObject()) Refuse(*value_, "object");
    auto it = value_->find(std::string(name));
    if (it == value_->end()) return std::nullopt;
    return TLayoutValue(std::make_shared<const Json>(*it));
}

std::string TLayoutValue::Describe() const {
    std::string text = value_->dump();
    return text.size() > 60 ? text.substr(0, 57) + "..." : text;
}
