#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "params/field_types.h"
#include "params/value_types.h"
#include "params/variant.h"

namespace px3 {

class TParamList;

// One named, typed value of a parameter list. The value is kept as one byte string, RawValue,
// in the fixed form of its DataType; typed setters write that form and typed getters read it
// back, converting through Variant when the item holds another type. Items are made and owned
// by their list.
class TParamItem {
  public:
    TParamItem(const TParamItem&) = delete;
    TParamItem& operator=(const TParamItem&) = delete;

    TParamList* Collection() const { return collection_; }
    int32_t ID() const { return id_; }

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::string GetDisplayName() const { return name_; }
    // Renames the item unless another item of its list bears the new name (ASCII case ignored),
    // which raises "Error: Duplicate Param Name".
    void SetDisplayName(std::string_view newName);

    // The stored bytes; empty while the item is null, except for bytes delivered by wire text.
    const std::string& RawValue() const { return raw_value_; }
    TParamType ParamType() const { return param_type_; }
    void SetParamType(TParamType type) { param_type_ = type; }
    TFieldType DataType() const { return data_type_; }
    void SetDataType(TFieldType type) { data_type_ = type; }
    bool IsNull() const { return is_null_; }
    // Writing true also clears the value.
    void SetIsNull(bool isNull);
    int32_t Size() const { return size_; }
    // Ignored for negative sizes and for types that declare no size.
    void SetSize(int32_t size);

    // Makes the item null and empties RawValue; name and types stay.
    void Clear();
    size_t DataLength() const { return raw_value_.size(); }
    bool IsInput() const;
    bool IsOutput() const;

    // Copies name, value, types, null flag and size.
    void Assign(const TParamItem& source);
    void AssignTo(TParamItem& dest) const { dest.Assign(*this); }

    Variant Value() const;
    void SetValue(const Variant& value);
    // Sets the value from text according to DataType (ftUnknown becomes ftString); text the
    // type cannot read raises "Unable to call SetAsText for NAME" and leaves the item null.
    void SetAsText(std::string_view text);

    // A new in-memory stream holding a copy of the value (empty for a null item), at position 0.
    std::unique_ptr<std::stringstream> AsStream() const;
    // Creates or truncates the file and writes the value's bytes to it (nothing for a null item).
    void SaveToFile(const std::string& fileName) const;

    std::string AsString() const;
    void SetAsString(std::string_view text);
    void SetAsMemo(std::string_view text);
    void SetAsBlob(std::string_view bytes);
    // A text that is not 38 characters long leaves the item null.
    void SetAsGUID(std::string_view text);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    int16_t AsSmallint() const;
    // Keeps the low 16 bits of the value.
    void SetAsSmallint(int32_t value);
    uint16_t AsWord() const;
    // Keeps the low 16 bits of the value.
    void SetAsWord(int32_t value);
    int32_t AsInteger() const;
    void SetAsInteger(int32_t value);
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t value);
    double AsFloat() const;
    void SetAsFloat(double value);
    // Days since 30 December 1899, the fraction being the time of day.
    double AsDateTime() const;
    void SetAsDate(double days);
    void SetAsTime(double days);
    void SetAsDateTime(double days);
    px3::Currency AsCurrency() const;
    void SetAsCurrency(px3::Currency value);
    px3::Currency AsBCD() const;
    void SetAsBCD(px3::Currency value);
    SqlTimeStamp AsSQLTimeStamp() const;
    void SetAsSQLTimeStamp(const SqlTimeStamp& value);
    FmtBcd AsFMTBCD() const;
    void SetAsFMTBCD(const FmtBcd& value);
    // Stores the low 32 bits of the reference's address as an integer.
    void SetAsIDispatch(const void* reference);

  private:
    friend class TParamList;

    // Joins the list under the given ID and takes the name "Param" + the list's NextID.
    TParamItem(TParamList& collection, int32_t id);
    // Joins the list with the fields of a record of wire text as they stand; no setter rules.
    TParamItem(TParamList& collection, int32_t id, std::string_view name, TFieldType dataType,
               TParamType paramType, bool isNull, std::string_view value);
    void Store(std::string bytes, TFieldType type);
    void StoreText(std::string_view bytes, TFieldType type);

    TParamList* collection_;
    int32_t id_;
    std::string name_;
    std::string raw_value_;
    TParamType param_type_ = TParamType::ptUnknown;
    TFieldType data_type_ = TFieldType::ftUnknown;
    bool is_null_ = true;
    int32_t size_ = 0;
};

}  // namespace px3
