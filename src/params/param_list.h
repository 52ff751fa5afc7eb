#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "params/field_types.h"
#include "params/param_exception.h"
#include "params/param_item.h"
#include "params/variant.h"

namespace px3 {

// An ordered list of named, typed values that carries request and reply data. The list owns its
// items; each item added receives the ID NextID, which then grows by one and never shrinks.
class TParamList {
  public:
    TParamList() = default;
    TParamList(const TParamList&) = delete;
    TParamList& operator=(const TParamList&) = delete;

    // Builds a list from wire text. Format 0 is the only text form; formats 1 to 6 are refused
    // with EParamException, higher ones give an empty list. Malformed text raises
    // EParamException.
    static std::unique_ptr<TParamList> CreateFromWireText(std::string_view text,
                                                          uint8_t format = 0);
    // The list as wire text; with inputOnly, only the items that are IsInput.
    std::string GetWireText(bool inputOnly) const;

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    int32_t NextID() const { return next_id_; }

    // The item at a 0-based index; outside 0 to Count - 1 raises "Index N Out of bounds".
    TParamItem& GetItem(int32_t index);
    const TParamItem& GetItem(int32_t index) const;
    TParamItem& Items(int32_t index) { return GetItem(index); }
    const TParamItem& Items(int32_t index) const { return GetItem(index); }
    // The item at index takes over the state of source.
    void SetItem(int32_t index, const TParamItem& source);

    // Appends a new null item of type ftUnknown with ParamType ptInput.
    TParamItem& Add();
    // Appends a null item with the given name and types; no duplicate check.
    TParamItem& AddTypedParam(TFieldType dataType, std::string_view name, TParamType paramType);
    // Sets the value of the item of that name, or appends an input item of that name.
    void FastAdd(std::string_view name, const Variant& value);
    // Appends an input item named "FastAdd" + its index.
    void FastAdd(const Variant& value);

    // The first item whose trimmed name equals name ignoring ASCII case, or nullptr.
    TParamItem* FindParam(std::string_view name);
    const TParamItem* FindParam(std::string_view name) const;
    // As FindParam; a missing name raises "Parameter Not Found: NAME".
    TParamItem& ParamByName(std::string_view name);
    const TParamItem& ParamByName(std::string_view name) const;
    TParamItem& Param(std::string_view name) { return ParamByName(name); }
    const TParamItem& Param(std::string_view name) const { return ParamByName(name); }
    // The value of the named item, or empty text when there is none.
    Variant GetParamVariant(std::string_view name) const;
    // Destroys the named item; false when there is none.
    bool DeleteParam(std::string_view name);
    // Destroys every item; NextID keeps its value.
    void Clear() { items_.clear(); }

    // Appends a copy of every item to dest, after clearing dest when clearFirst.
    void CopyParamsTo(TParamList& dest, bool clearFirst) const;
    std::unique_ptr<TParamList> Clone() const;

  private:
    // Reads the records of format 0 wire text into the list.
    void ReadWireText(std::string_view text);

    std::vector<std::unique_ptr<TParamItem>> items_;
    int32_t next_id_ = 0;
};

}  // namespace px3
