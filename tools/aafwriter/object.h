#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "aaf/aaf_types.h"

namespace tessel::aafwriter {

/// Byte order of every value in the file ('L' or 'B' in each `properties` stream).
enum class ByteOrder : std::uint8_t { kLittle, kBig };

/// Stored forms of a property (the codes in the `properties` stream).
enum class StoredForm : std::uint16_t {
    kData = 0x82,
    kStrongReference = 0x22,
    kStrongReferenceVector = 0x32,
    kStrongReferenceSet = 0x3A,
    kWeakReference = 0x02,
    kWeakReferenceVector = 0x12,
    kWeakReferenceSet = 0x1A,
};

/// The sets a weak reference can point into; each becomes one path of `referenced properties`.
enum class WeakTarget : std::uint8_t {
    kClassDefinitions,
    kTypeDefinitions,
    kDataDefinitions,
    kOperationDefinitions,
    kParameterDefinitions,
    kCodecDefinitions,
    kContainerDefinitions,
    kInterpolationDefinitions,
};

/// Appends values to a byte buffer in one byte order.
class ValueBytes {
  public:
    explicit ValueBytes(ByteOrder order) : order_(order) {}

    ValueBytes& U8(std::uint8_t v);
    ValueBytes& U16(std::uint16_t v);
    ValueBytes& U32(std::uint32_t v);
    ValueBytes& U64(std::uint64_t v);
    ValueBytes& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    ValueBytes& I64(std::int64_t v) { return U64(static_cast<std::uint64_t>(v)); }
    ValueBytes& Auid(const aafUID_t& id);
    ValueBytes& MobId(const aafMobID_t& id);
    ValueBytes& Rational(const aafRational_t& r) { return I32(r.numerator).I32(r.denominator); }
    /// UTF-16 code units of `utf8`, then a NUL unit.
    ValueBytes& String(std::string_view utf8);
    ValueBytes& Raw(std::span<const std::uint8_t> bytes);

    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    ByteOrder order_;
    std::vector<std::uint8_t> bytes_;
};

class Object;

/// One property of an object: a stored value, a weak reference, or owned objects.
struct Property {
    std::uint16_t pid = 0;
    StoredForm form = StoredForm::kData;
    /// Data: the stored bytes. Weak reference: the key. Weak collections: the keys back to back.
    std::vector<std::uint8_t> value;
    /// Property name, mangled into storage names (strong references and collections).
    std::string name;
    WeakTarget target = WeakTarget::kDataDefinitions;
    std::uint16_t keyPid = 0;     ///< weak references and sets: the key property's pid
    std::uint16_t keySource = 0;  ///< sets: the element property whose bytes are the key
    std::uint8_t keySize = 16;    ///< weak references and sets
    std::vector<std::unique_ptr<Object>> objects;  ///< strong reference(s), in order
};

/// An AAF object: its class and its properties in the order they will be stored. Setting a pid
/// that is already present replaces it in place.
class Object {
  public:
    Object(const aafUID_t& classId, ByteOrder order) : classId_(classId), order_(order) {}

    const aafUID_t& classId() const { return classId_; }
    void SetClassId(const aafUID_t& classId) { classId_ = classId; }
    ByteOrder byteOrder() const { return order_; }
    ValueBytes Bytes() const { return ValueBytes(order_); }

    Object& SetData(std::uint16_t pid, std::vector<std::uint8_t> bytes);
    Object& SetUInt8(std::uint16_t pid, std::uint8_t v);
    Object& SetUInt16(std::uint16_t pid, std::uint16_t v);
    Object& SetInt16(std::uint16_t pid, std::int16_t v);
    Object& SetUInt32(std::uint16_t pid, std::uint32_t v);
    Object& SetInt32(std::uint16_t pid, std::int32_t v);
    Object& SetInt64(std::uint16_t pid, std::int64_t v);
    Object& SetBoolean(std::uint16_t pid, bool v) { return SetUInt8(pid, v ? 1 : 0); }
    Object& SetRational(std::uint16_t pid, const aafRational_t& v);
    Object& SetAuid(std::uint16_t pid, const aafUID_t& v);
    Object& SetMobId(std::uint16_t pid, const aafMobID_t& v);
    Object& SetString(std::uint16_t pid, std::string_view utf8);
    Object& SetTimeStamp(std::uint16_t pid, const aafTimeStamp_t& v);
    Object& SetInt32Array(std::uint16_t pid, std::span<const std::int32_t> values);
    /// An indirect value: byte order, the type's AUID, then `value` (already in this byte order).
    Object& SetIndirect(std::uint16_t pid, const aafUID_t& type,
                        std::span<const std::uint8_t> value);
    Object& SetWeakReference(std::uint16_t pid, WeakTarget target, const aafUID_t& key);
    /// A weak reference vector (ordered) or set, named `name` (the property name).
    Object& SetWeakReferences(std::uint16_t pid, std::string name, StoredForm form,
                              WeakTarget target, std::span<const aafUID_t> keys);

    /// Stores `child` as the strong reference `pid` and returns it. The property name is looked
    /// up among the baseline properties; pass `name` for extension properties.
    Object& SetChild(std::uint16_t pid, std::unique_ptr<Object> child, std::string name = {});
    /// Appends `child` to the strong reference vector `pid` (created when absent).
    Object& AppendChild(std::uint16_t pid, std::unique_ptr<Object> child, std::string name = {});
    /// Adds `child` to the strong reference set `pid`; its key is the child's `keySource`
    /// property, the index names `keyPid`.
    Object& AddToSet(std::uint16_t pid, std::unique_ptr<Object> child, std::uint16_t keyPid,
                     std::uint16_t keySource, std::string name = {});

    /// An empty strong reference vector or set (present, no elements).
    void SetEmptyVector(std::uint16_t pid, std::string name = {});
    void SetEmptySet(std::uint16_t pid, std::uint16_t keyPid, std::uint16_t keySource,
                     std::string name = {});

    /// Removes property `pid` (and what it owns); no effect when absent.
    void Remove(std::uint16_t pid);
    bool Has(std::uint16_t pid) const { return Find(pid) != nullptr; }
    const Property* Find(std::uint16_t pid) const;
    Property* Find(std::uint16_t pid);
    const std::vector<Property>& properties() const { return properties_; }
    std::vector<Property>& properties() { return properties_; }

    /// The single object of strong reference `pid`, or element `index` of a collection.
    Object* Child(std::uint16_t pid, std::size_t index = 0) const;

  private:
    Property& Slot(std::uint16_t pid, StoredForm form);

    aafUID_t classId_;
    ByteOrder order_;
    std::vector<Property> properties_;
};

/// The property name the storage names are built from: the baseline name for `pid`, else
/// `fallback`, else "Property".
std::string PropertyNameFor(std::uint16_t pid, const std::string& fallback);

}  // namespace tessel::aafwriter
