#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// JSON documents: a lenient parser that splits texts at top-level separators, a tree of owned
// nodes, member lookup ignoring ASCII case, and a writer. Texts are byte strings; no character set
// is converted. Failures raise px3::Exception "<ClassName>detail", the class being that of the node
// that found the problem (a bad four-hex-digit escape raises "Illegal four-hex-digits "XXXX"").
//
// Parsing costs time proportional to the text's length times its nesting depth, since every level
// scans the text of its nested parts again; nesting deeper than kJsonMaxDepth objects and arrays
// is a parse error, which bounds both that cost and the depth of recursion.

namespace px3 {

enum TJsonValueType : uint8_t { jvNone, jvNull, jvString, jvNumber, jvBoolean, jvObject, jvArray };

enum TJsonStructType : uint8_t { jsNone, jsArray, jsObject };

inline constexpr const char* kJsonValueTypeNames[] = {
    "jvNone", "jvNull", "jvString", "jvNumber", "jvBoolean", "jvObject", "jvArray"};
inline constexpr const char* kJsonBooleanWords[] = {"false", "true"};

// The deepest nesting of objects and arrays a parse accepts; the document's root is level 1.
inline constexpr int kJsonMaxDepth = 256;

template <typename T>
concept JsonNumber = std::is_arithmetic_v<T> && !std::is_same_v<T, bool>;

class TJsonValue;
class TJsonPair;
class TJsonObject;
class TJsonArray;

// Every node knows its owner, the node that contains it, and owns its children.
class TJsonBase {
  public:
    // A container (object or array) counts one nesting level more than its owner.
    TJsonBase(TJsonBase* owner, bool container)
        : owner_(owner), depth_((owner ? owner->depth_ : 0) + (container ? 1 : 0)) {}
    virtual ~TJsonBase() = default;
    TJsonBase(const TJsonBase&) = delete;
    TJsonBase& operator=(const TJsonBase&) = delete;

    // The node that contains this one; none for a document.
    TJsonBase* Owner() const { return owner_; }

    // Replaces the node's content with what the text describes.
    virtual void Parse(std::string_view text) = 0;
    // Appends the node written as JSON text, without blanks or line breaks.
    virtual void WriteText(std::string& out) const = 0;
    // Replaces the node's content with a deep copy of a compatible node (none raises the assign
    // error). The copy is built before the old content goes, so the source may be this node or
    // lie inside it.
    virtual void CopyFrom(const TJsonBase* source) = 0;
    virtual const char* ClassName() const = 0;

    std::string ToText() const;

  protected:
    // "<ClassName>" + detail.
    [[noreturn]] void Raise(const std::string& detail) const;
    // "<ClassName>"NAME" parse error: TEXT", NAME the nearest containing member's name.
    [[noreturn]] void RaiseParseError(std::string_view text) const;
    // "<ClassName>assign error: SOURCE to ClassName".
    [[noreturn]] void RaiseAssignError(const TJsonBase* source) const;
    // The name of the first member met following the owners upward from this node's owner.
    std::string NearestMemberName() const;
    // The number of objects and arrays among this node and its owners.
    int NestingDepth() const { return depth_; }

  private:
    TJsonBase* owner_;
    int depth_;
};

// A value of one of the JSON types; only the content of its current type is kept.
class TJsonValue final : public TJsonBase {
  public:
    explicit TJsonValue(TJsonBase* owner);
    ~TJsonValue() override;

    TJsonValueType ValueType() const { return type_; }

    void Parse(std::string_view text) override;
    void WriteText(std::string& out) const override;
    void CopyFrom(const TJsonBase* source) override;
    const char* ClassName() const override { return "TJsonValue"; }

    // None and null give the empty text, a number its general format, a boolean "false" or
    // "true"; an object or array raises the value type error.
    std::string AsText() const;
    // None and null give 0; a string converts as a floating-point number (EConvertError when it
    // does not); numbers are truncated toward zero and held to the 32-bit range (beyond it the
    // nearest end, NAN 0); a boolean gives 0 or 1; an object or array raises the value type error.
    int32_t AsInteger() const;

    void SetText(std::string_view text);
    template <JsonNumber Number>
    void SetNumber(Number number) {
        StoreNumber(static_cast<long double>(number));
    }
    void SetBoolean(bool value);

    // A none value becomes an empty object (array) on first access; any other type but an object
    // (array) raises the value type error.
    TJsonObject& AsObject();
    TJsonArray& AsArray();

  private:
    friend class TJson;  // a document copies a value's object or array without converting it

    void Release();
    void StoreNumber(long double number);
    [[noreturn]] void RaiseValueTypeError(TJsonValueType wanted) const;

    TJsonValueType type_ = jvNone;
    std::string text_;
    long double number_ = 0;
    bool boolean_ = false;
    std::unique_ptr<TJsonObject> object_;
    std::unique_ptr<TJsonArray> array_;
};

// An object member: a name and the value it owns.
class TJsonPair final : public TJsonBase {
  public:
    TJsonPair(TJsonBase* owner, std::string_view name);
    ~TJsonPair() override;

    const std::string& Name() const { return name_; }
    TJsonValue& Value() const { return *value_; }

    void Parse(std::string_view text) override;
    void WriteText(std::string& out) const override;
    void CopyFrom(const TJsonBase* source) override;
    const char* ClassName() const override { return "TJsonPair"; }

  private:
    std::string name_;
    std::unique_ptr<TJsonValue> value_;
};

// An ordered list of members; names may repeat, and lookups find the first.
class TJsonObject final : public TJsonBase {
  public:
    explicit TJsonObject(TJsonBase* owner) : TJsonBase(owner, true) {}
    ~TJsonObject() override;

    void Parse(std::string_view text) override;
    void WriteText(std::string& out) const override;
    void CopyFrom(const TJsonBase* source) override;
    const char* ClassName() const override { return "TJsonObject"; }

    // Whether Member appends a missing name (true) or raises "<TJsonObject>NAME not found".
    bool AddMissing() const { return add_missing_; }
    void SetAddMissing(bool add_missing) { add_missing_ = add_missing; }

    int Count() const { return static_cast<int>(members_.size()); }
    TJsonPair& MemberAt(int index) const;
    // The position of the first member whose name equals the given one ignoring ASCII case, or -1.
    int IndexOfName(std::string_view name) const;
    TJsonValue& Member(std::string_view name);

    // Each appends a new member, even when the name is present, and returns its value.
    TJsonValue& Put(std::string_view name, std::string_view text);
    TJsonValue& Put(std::string_view name, const char* text) {
        return Put(name, std::string_view(text));
    }
    TJsonValue& Put(std::string_view name, bool value);
    template <JsonNumber Number>
    TJsonValue& Put(std::string_view name, Number number) {
        TJsonValue& value = Append(name);
        value.SetNumber(number);
        return value;
    }

  private:
    TJsonValue& Append(std::string_view name);

    std::vector<std::unique_ptr<TJsonPair>> members_;
    bool add_missing_ = true;
};

// An ordered list of values.
class TJsonArray final : public TJsonBase {
  public:
    explicit TJsonArray(TJsonBase* owner) : TJsonBase(owner, true) {}
    ~TJsonArray() override;

    void Parse(std::string_view text) override;
    void WriteText(std::string& out) const override;
    void CopyFrom(const TJsonBase* source) override;
    const char* ClassName() const override { return "TJsonArray"; }

    int Count() const { return static_cast<int>(elements_.size()); }
    TJsonValue& Element(int index) const;
    // Appends a new none element and returns it.
    TJsonValue& Add();

  private:
    std::vector<std::unique_ptr<TJsonValue>> elements_;
};

// A document: empty, or a root array, or a root object.
class TJson final : public TJsonBase {
  public:
    TJson() : TJsonBase(nullptr, false) {}
    ~TJson() override;

    TJsonStructType StructType() const { return struct_type_; }

    // The trimmed text must be an array "[...]" or an object "{...}".
    void Parse(std::string_view text) override;
    // The root's text; nothing for an empty document.
    void WriteText(std::string& out) const override;
    // Takes a document's kind and content, an array (or array value) as root array, an object (or
    // object value) as root object.
    void CopyFrom(const TJsonBase* source) override;
    const char* ClassName() const override { return "TJson"; }

    // The root object, created empty for an empty document; an array document raises
    // "<TJson>json struct type is not jsObject".
    TJsonObject& RootObject();
    TJsonValue& Member(std::string_view name) { return RootObject().Member(name); }
    template <typename Content>
    TJsonValue& Put(std::string_view name, Content content) {
        return RootObject().Put(name, content);
    }

  private:
    void Clear();

    TJsonStructType struct_type_ = jsNone;
    std::unique_ptr<TJsonObject> root_object_;
    std::unique_ptr<TJsonArray> root_array_;
};

}  // namespace px3
