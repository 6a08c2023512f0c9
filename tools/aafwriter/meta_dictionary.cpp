#include "aafwriter/meta_dictionary.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "aafwriter/baseline_model.h"
#include "aafwriter/ids.h"

namespace tessel::aafwriter {
namespace {

// Property ids of the meta classes.
constexpr std::uint16_t kPidIdentification = 0x0005;
constexpr std::uint16_t kPidName = 0x0006;
constexpr std::uint16_t kPidParentClass = 0x0008;
constexpr std::uint16_t kPidProperties = 0x0009;
constexpr std::uint16_t kPidIsConcrete = 0x000A;
constexpr std::uint16_t kPidType = 0x000B;
constexpr std::uint16_t kPidIsOptional = 0x000C;
constexpr std::uint16_t kPidLocalIdentification = 0x000D;
constexpr std::uint16_t kPidIsUniqueIdentifier = 0x000E;
constexpr std::uint16_t kPidClassDefinitions = 0x0003;
constexpr std::uint16_t kPidTypeDefinitions = 0x0004;

/// The SDK's order of AUIDs: their little-endian bytes compared as unsigned.
struct UidLess {
    bool operator()(const aafUID_t& a, const aafUID_t& b) const {
        if (a.Data1 != b.Data1) {
            return LittleEndianLess(a.Data1, b.Data1, 4);
        }
        if (a.Data2 != b.Data2) {
            return LittleEndianLess(a.Data2, b.Data2, 2);
        }
        if (a.Data3 != b.Data3) {
            return LittleEndianLess(a.Data3, b.Data3, 2);
        }
        return std::lexicographical_compare(std::begin(a.Data4), std::end(a.Data4),
                                            std::begin(b.Data4), std::end(b.Data4));
    }
    static bool LittleEndianLess(std::uint32_t x, std::uint32_t y, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const auto bx = static_cast<std::uint8_t>(x >> (8 * i));
            const auto by = static_cast<std::uint8_t>(y >> (8 * i));
            if (bx != by) {
                return bx < by;
            }
        }
        return false;
    }
};

using UidSet = std::set<aafUID_t, UidLess>;

/// One class as the MetaDictionary describes it, baseline or extension.
struct ClassView {
    std::string name;
    aafUID_t id{};
    aafUID_t parent{};
    bool concrete = true;
    std::vector<model::PropertyDef> properties;
};

class Collector {
  public:
    Collector(std::span<const ExtensionClass> extensions) {
        for (const ExtensionClass& e : extensions) {
            ClassView view{e.name, e.id, e.parent, e.concrete, {}};
            for (const ExtensionProperty& p : e.properties) {
                extensionNames_.push_back(p.name);
                view.properties.push_back({p.pid, nullptr, p.id, p.type, p.optional, false});
            }
            extensions_[e.id] = std::move(view);
        }
        // Names live in extensionNames_; point the definitions at them now that it is stable.
        std::size_t n = 0;
        for (const ExtensionClass& e : extensions) {
            for (auto& p : extensions_[e.id].properties) {
                p.name = extensionNames_[n++].c_str();
            }
        }
    }

    const ClassView* Find(const aafUID_t& id) {
        const auto ext = extensions_.find(id);
        if (ext != extensions_.end()) {
            return &ext->second;
        }
        const auto cached = baseline_.find(id);
        if (cached != baseline_.end()) {
            return &cached->second;
        }
        const model::ClassDef* def = model::FindClass(id);
        if (def == nullptr) {
            return nullptr;
        }
        ClassView view{def->name,
                       def->id,
                       def->parent,
                       def->concrete,
                       {def->properties.begin(), def->properties.end()}};
        return &baseline_.emplace(id, std::move(view)).first->second;
    }

    void AddClass(const aafUID_t& id) {
        if (!classes_.insert(id).second) {
            return;
        }
        const ClassView* view = Find(id);
        if (view == nullptr) {
            classes_.erase(id);
            return;
        }
        AddClass(view->parent);
        for (const model::PropertyDef& p : view->properties) {
            AddType(p.type);
        }
    }

    void AddType(const aafUID_t& id) {
        const model::TypeDef* type = model::FindType(id);
        if (type == nullptr || !types_.insert(id).second) {
            return;
        }
        AddClass(model::TypeDefinitionClass(type->kind));
        switch (type->kind) {
            case model::TypeKind::kStrongReference:
            case model::TypeKind::kWeakReference:
                AddClass(type->ref);
                break;
            case model::TypeKind::kEnumeration:
            case model::TypeKind::kFixedArray:
            case model::TypeKind::kVariableArray:
            case model::TypeKind::kSet:
            case model::TypeKind::kString:
            case model::TypeKind::kRename:
                AddType(type->ref);
                break;
            case model::TypeKind::kRecord:
                for (const aafUID_t& member : type->ids) {
                    AddType(member);
                }
                break;
            default:
                break;
        }
    }

    /// Classes and types that objects name through weak references, and every object's class.
    void AddObjects(const Object& object, ByteOrder order) {
        AddClass(object.classId());
        for (const Property& p : object.properties()) {
            if (p.form == StoredForm::kWeakReference && p.value.size() == 16) {
                if (p.target == WeakTarget::kClassDefinitions) {
                    AddClass(ReadAuid(p.value, order));
                } else if (p.target == WeakTarget::kTypeDefinitions) {
                    AddType(ReadAuid(p.value, order));
                }
            }
            for (const auto& child : p.objects) {
                if (child != nullptr) {
                    AddObjects(*child, order);
                }
            }
        }
    }

    const UidSet& classes() const { return classes_; }
    const UidSet& types() const { return types_; }

  private:
    std::map<aafUID_t, ClassView, UidLess> extensions_;
    std::map<aafUID_t, ClassView, UidLess> baseline_;
    std::vector<std::string> extensionNames_;
    UidSet classes_;
    UidSet types_;
};

std::vector<std::uint8_t> StringArray(std::span<const char* const> names, ByteOrder order) {
    ValueBytes bytes(order);
    for (const char* name : names) {
        bytes.String(name);
    }
    return bytes.Take();
}

std::unique_ptr<Object> ClassDefinitionObject(const ClassView& view, ByteOrder order) {
    auto def = std::make_unique<Object>(classes::kClassDefinition, order);
    def->SetAuid(kPidIdentification, view.id);
    def->SetString(kPidName, view.name);
    def->SetWeakReference(kPidParentClass, WeakTarget::kClassDefinitions, view.parent);
    for (const model::PropertyDef& p : view.properties) {
        auto prop = std::make_unique<Object>(classes::kPropertyDefinition, order);
        prop->SetAuid(kPidIdentification, p.id);
        prop->SetString(kPidName, p.name);
        prop->SetAuid(kPidType, p.type);
        prop->SetBoolean(kPidIsOptional, p.optional);
        prop->SetUInt16(kPidLocalIdentification, p.pid);
        if (p.unique) {
            prop->SetBoolean(kPidIsUniqueIdentifier, true);
        }
        def->AddToSet(kPidProperties, std::move(prop), kPidIdentification, kPidIdentification);
    }
    def->SetBoolean(kPidIsConcrete, view.concrete);
    return def;
}

std::unique_ptr<Object> TypeDefinitionObject(const model::TypeDef& type, ByteOrder order) {
    auto def = std::make_unique<Object>(model::TypeDefinitionClass(type.kind), order);
    def->SetAuid(kPidIdentification, type.id);
    def->SetString(kPidName, type.name);
    const auto typeRef = [&](std::uint16_t pid) {
        def->SetWeakReference(pid, WeakTarget::kTypeDefinitions, type.ref);
    };
    switch (type.kind) {
        case model::TypeKind::kInteger:
            def->SetUInt8(0x000F, static_cast<std::uint8_t>(type.number));
            def->SetBoolean(0x0010, type.isSigned);
            break;
        case model::TypeKind::kStrongReference:
            def->SetWeakReference(0x0011, WeakTarget::kClassDefinitions, type.ref);
            break;
        case model::TypeKind::kWeakReference: {
            def->SetWeakReference(0x0012, WeakTarget::kClassDefinitions, type.ref);
            ValueBytes set(order);
            for (const aafUID_t& id : type.ids) {
                set.Auid(id);
            }
            def->SetData(0x0013, set.Take());
            break;
        }
        case model::TypeKind::kEnumeration: {
            typeRef(0x0014);
            def->SetData(0x0015, StringArray(type.names, order));
            ValueBytes values(order);
            for (std::int64_t v : type.values) {
                values.I64(v);
            }
            def->SetData(0x0016, values.Take());
            break;
        }
        case model::TypeKind::kFixedArray:
            typeRef(0x0017);
            def->SetUInt32(0x0018, type.number);
            break;
        case model::TypeKind::kVariableArray:
            typeRef(0x0019);
            break;
        case model::TypeKind::kSet:
            typeRef(0x001A);
            break;
        case model::TypeKind::kString:
            typeRef(0x001B);
            break;
        case model::TypeKind::kRecord:
            def->SetWeakReferences(0x001C, "MemberTypes", StoredForm::kWeakReferenceVector,
                                   WeakTarget::kTypeDefinitions, type.ids);
            def->SetData(0x001D, StringArray(type.names, order));
            break;
        case model::TypeKind::kRename:
            typeRef(0x001E);
            break;
        case model::TypeKind::kExtendibleEnumeration: {
            def->SetData(0x001F, StringArray(type.names, order));
            ValueBytes values(order);
            for (const aafUID_t& id : type.ids) {
                values.Auid(id);
            }
            def->SetData(0x0020, values.Take());
            break;
        }
        default:
            break;
    }
    return def;
}

}  // namespace

aafUID_t ReadAuid(std::span<const std::uint8_t> b, ByteOrder order) {
    aafUID_t id{};
    if (b.size() < 16) {
        return id;
    }
    if (order == ByteOrder::kLittle) {
        id.Data1 = static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16) |
                   static_cast<std::uint32_t>(b[3]) << 24;
        id.Data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
        id.Data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
    } else {
        id.Data1 = static_cast<std::uint32_t>(b[0]) << 24 |
                   static_cast<std::uint32_t>(b[1] << 16 | b[2] << 8 | b[3]);
        id.Data2 = static_cast<std::uint16_t>(b[4] << 8 | b[5]);
        id.Data3 = static_cast<std::uint16_t>(b[6] << 8 | b[7]);
    }
    std::copy(b.begin() + 8, b.begin() + 16, std::begin(id.Data4));
    return id;
}

std::unique_ptr<Object> BuildMetaDictionary(const Object& header,
                                            std::span<const ExtensionClass> extensions,
                                            ByteOrder order) {
    Collector collector(extensions);
    collector.AddClass(classes::kMetaDictionary);
    collector.AddClass(classes::kClassDefinition);
    collector.AddClass(classes::kPropertyDefinition);
    collector.AddObjects(header, order);
    for (const ExtensionClass& e : extensions) {
        collector.AddClass(e.id);
    }

    auto meta = std::make_unique<Object>(classes::kMetaDictionary, order);
    for (const aafUID_t& id : collector.classes()) {
        meta->AddToSet(kPidClassDefinitions, ClassDefinitionObject(*collector.Find(id), order),
                       kPidIdentification, kPidIdentification);
    }
    for (const aafUID_t& id : collector.types()) {
        meta->AddToSet(kPidTypeDefinitions, TypeDefinitionObject(*model::FindType(id), order),
                       kPidIdentification, kPidIdentification);
    }
    return meta;
}

}  // namespace tessel::aafwriter
