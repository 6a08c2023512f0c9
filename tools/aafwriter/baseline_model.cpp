#include "aafwriter/baseline_model.h"

#include <cstring>
#include <unordered_map>

namespace tessel::aafwriter::model {
namespace {

struct UidHash {
    std::size_t operator()(const aafUID_t& id) const {
        std::uint64_t h = id.Data1;
        h = h * 1000003u ^ id.Data2;
        h = h * 1000003u ^ id.Data3;
        for (std::uint8_t b : id.Data4) {
            h = h * 131u ^ b;
        }
        return static_cast<std::size_t>(h);
    }
};

struct Index {
    std::unordered_map<aafUID_t, const ClassDef*, UidHash> classes;
    std::unordered_map<aafUID_t, const TypeDef*, UidHash> types;
    std::unordered_map<std::uint16_t, const PropertyDef*> properties;

    Index() {
        for (const ClassDef& c : BaselineClasses()) {
            classes.emplace(c.id, &c);
            for (const PropertyDef& p : c.properties) {
                properties.emplace(p.pid, &p);
            }
        }
        for (const TypeDef& t : BaselineTypes()) {
            types.emplace(t.id, &t);
        }
    }
};

const Index& TheIndex() {
    static const Index index;
    return index;
}

}  // namespace

const ClassDef* FindClass(const aafUID_t& id) {
    const auto& map = TheIndex().classes;
    const auto it = map.find(id);
    return it == map.end() ? nullptr : it->second;
}

const TypeDef* FindType(const aafUID_t& id) {
    const auto& map = TheIndex().types;
    const auto it = map.find(id);
    return it == map.end() ? nullptr : it->second;
}

const PropertyDef* FindProperty(std::uint16_t pid) {
    const auto& map = TheIndex().properties;
    const auto it = map.find(pid);
    return it == map.end() ? nullptr : it->second;
}

aafUID_t TypeDefinitionClass(TypeKind kind) {
    // {0D010101-02xx-0000-060E-2B3402060101}, xx by TypeDefinition subclass.
    static constexpr std::uint16_t kCodes[] = {0x0204, 0x0223, 0x0205, 0x0206, 0x0207,
                                               0x0208, 0x0209, 0x020A, 0x020B, 0x020C,
                                               0x020D, 0x020E, 0x0220, 0x0221, 0x0222};
    return {0x0D010101,
            kCodes[static_cast<int>(kind)],
            0x0000,
            {0x06, 0x0E, 0x2B, 0x34, 0x02, 0x06, 0x01, 0x01}};
}

}  // namespace tessel::aafwriter::model
