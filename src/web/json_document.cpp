#include "base/text.h"
#include "web/json.h"

namespace px3 {

namespace {

bool Encloses(std::string_view text, char opener, char closer) {
    return text.size() >= 2 && text.front() == opener && text.back() == closer;
}

}  // namespace

TJson::~TJson() = default;

void TJson::Clear() {
    struct_type_ = jsNone;
    root_object_.reset();
    root_array_.reset();
}

void TJson::Parse(std::string_view text) {
    Clear();
    text = Trim(text);
    if (Encloses(text, '[', ']')) {
        struct_type_ = jsArray;
        root_array_ = std::make_unique<TJsonArray>(this);
        root_array_->Parse(text);
        return;
    }
    if (!Encloses(text, '{', '}')) {
        RaiseParseError(text);
    }
    struct_type_ = jsObject;
    root_object_ = std::make_unique<TJsonObject>(this);
    root_object_->Parse(text);
}

void TJson::WriteText(std::string& out) const {
    if (root_object_) {
        root_object_->WriteText(out);
    } else if (root_array_) {
        root_array_->WriteText(out);
    }
}

void TJson::CopyFrom(const TJsonBase* source) {
    auto* document = dynamic_cast<const TJson*>(source);
    const TJsonObject* source_object = dynamic_cast<const TJsonObject*>(source);
    const TJsonArray* source_array = dynamic_cast<const TJsonArray*>(source);
    if (document) {
        source_object = document->root_object_.get();
        source_array = document->root_array_.get();
    } else if (auto* value = dynamic_cast<const TJsonValue*>(source)) {
        source_object = value->object_.get();
        source_array = value->array_.get();
    }
    if (!document && !source_object && !source_array) {
        RaiseAssignError(source);
    }
    std::unique_ptr<TJsonObject> object;
    std::unique_ptr<TJsonArray> array;
    if (source_object) {
        object = std::make_unique<TJsonObject>(this);
        object->CopyFrom(source_object);
    } else if (source_array) {
        array = std::make_unique<TJsonArray>(this);
        array->CopyFrom(source_array);
    }
    Clear();
    struct_type_ = object ? jsObject : (array ? jsArray : jsNone);
    root_object_ = std::move(object);
    root_array_ = std::move(array);
}

TJsonObject& TJson::RootObject() {
    if (struct_type_ == jsArray) {
        Raise("json struct type is not jsObject");
    }
    if (struct_type_ == jsNone) {
        struct_type_ = jsObject;
        root_object_ = std::make_unique<TJsonObject>(this);
    }
    return *root_object_;
}

}  // namespace px3
