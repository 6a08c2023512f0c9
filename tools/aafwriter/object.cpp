#include "aafwriter/object.h"

#include <algorithm>

#include "aafwriter/baseline_model.h"

namespace tessel::aafwriter {

ValueBytes& ValueBytes::U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

ValueBytes& ValueBytes::U16(std::uint16_t v) {
    if (order_ == ByteOrder::kLittle) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    } else {
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
        bytes_.push_back(static_cast<std::uint8_t>(v));
    }
    return *this;
}

ValueBytes& ValueBytes::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        const int shift = order_ == ByteOrder::kLittle ? 8 * i : 8 * (3 - i);
        bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    return *this;
}

ValueBytes& ValueBytes::U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        const int shift = order_ == ByteOrder::kLittle ? 8 * i : 8 * (7 - i);
        bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    return *this;
}

ValueBytes& ValueBytes::Auid(const aafUID_t& id) {
    U32(id.Data1).U16(id.Data2).U16(id.Data3);
    bytes_.insert(bytes_.end(), std::begin(id.Data4), std::end(id.Data4));
    return *this;
}

ValueBytes& ValueBytes::MobId(const aafMobID_t& id) {
    bytes_.insert(bytes_.end(), std::begin(id.SMPTELabel), std::end(id.SMPTELabel));
    bytes_.push_back(id.length);
    bytes_.push_back(id.instanceHigh);
    bytes_.push_back(id.instanceMid);
    bytes_.push_back(id.instanceLow);
    return Auid(id.material);
}

ValueBytes& ValueBytes::String(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = c;
        std::size_t extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        if (extra > 0) {
            cp = c & (0x3Fu >> extra);
        }
        for (std::size_t k = 1; k <= extra && i + k < utf8.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            U16(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
            U16(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            U16(static_cast<std::uint16_t>(cp));
        }
    }
    return U16(0);
}

ValueBytes& ValueBytes::Raw(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::string PropertyNameFor(std::uint16_t pid, const std::string& fallback) {
    if (!fallback.empty()) {
        return fallback;
    }
    const model::PropertyDef* def = model::FindProperty(pid);
    return def != nullptr ? def->name : "Property";
}

Property& Object::Slot(std::uint16_t pid, StoredForm form) {
    Property* existing = Find(pid);
    if (existing == nullptr) {
        properties_.emplace_back();
        existing = &properties_.back();
        existing->pid = pid;
    } else if (existing->form != form) {
        *existing = Property{};
        existing->pid = pid;
    }
    existing->form = form;
    return *existing;
}

Object& Object::SetData(std::uint16_t pid, std::vector<std::uint8_t> bytes) {
    Property& p = Slot(pid, StoredForm::kData);
    p.value = std::move(bytes);
    return *this;
}

Object& Object::SetUInt8(std::uint16_t pid, std::uint8_t v) {
    return SetData(pid, {v});
}
Object& Object::SetUInt16(std::uint16_t pid, std::uint16_t v) {
    return SetData(pid, Bytes().U16(v).Take());
}
Object& Object::SetInt16(std::uint16_t pid, std::int16_t v) {
    return SetData(pid, Bytes().U16(static_cast<std::uint16_t>(v)).Take());
}
Object& Object::SetUInt32(std::uint16_t pid, std::uint32_t v) {
    return SetData(pid, Bytes().U32(v).Take());
}
Object& Object::SetInt32(std::uint16_t pid, std::int32_t v) {
    return SetData(pid, Bytes().I32(v).Take());
}
Object& Object::SetInt64(std::uint16_t pid, std::int64_t v) {
    return SetData(pid, Bytes().I64(v).Take());
}
Object& Object::SetRational(std::uint16_t pid, const aafRational_t& v) {
    return SetData(pid, Bytes().Rational(v).Take());
}
Object& Object::SetAuid(std::uint16_t pid, const aafUID_t& v) {
    return SetData(pid, Bytes().Auid(v).Take());
}
Object& Object::SetMobId(std::uint16_t pid, const aafMobID_t& v) {
    return SetData(pid, Bytes().MobId(v).Take());
}
Object& Object::SetString(std::uint16_t pid, std::string_view utf8) {
    return SetData(pid, Bytes().String(utf8).Take());
}
Object& Object::SetTimeStamp(std::uint16_t pid, const aafTimeStamp_t& v) {
    return SetData(pid, Bytes()
                            .U16(static_cast<std::uint16_t>(v.year))
                            .U8(v.month)
                            .U8(v.day)
                            .U8(v.hour)
                            .U8(v.minute)
                            .U8(v.second)
                            .U8(v.fraction)
                            .Take());
}
Object& Object::SetInt32Array(std::uint16_t pid, std::span<const std::int32_t> values) {
    ValueBytes bytes = Bytes();
    for (std::int32_t v : values) {
        bytes.I32(v);
    }
    return SetData(pid, bytes.Take());
}

Object& Object::SetIndirect(std::uint16_t pid, const aafUID_t& type,
                            std::span<const std::uint8_t> value) {
    return SetData(
        pid, Bytes().U8(order_ == ByteOrder::kLittle ? 'L' : 'B').Auid(type).Raw(value).Take());
}

Object& Object::SetWeakReference(std::uint16_t pid, WeakTarget target, const aafUID_t& key) {
    Property& p = Slot(pid, StoredForm::kWeakReference);
    p.target = target;
    p.keyPid = (target == WeakTarget::kClassDefinitions || target == WeakTarget::kTypeDefinitions)
                   ? 0x0005
                   : 0x1B01;
    p.keySize = 16;
    p.value = Bytes().Auid(key).Take();
    return *this;
}

Object& Object::SetWeakReferences(std::uint16_t pid, std::string name, StoredForm form,
                                  WeakTarget target, std::span<const aafUID_t> keys) {
    SetWeakReference(pid, target, {});
    Property& p = *Find(pid);
    p.form = form;
    p.name = std::move(name);
    ValueBytes bytes = Bytes();
    for (const aafUID_t& key : keys) {
        bytes.Auid(key);
    }
    p.value = bytes.Take();
    return *this;
}

Object& Object::SetChild(std::uint16_t pid, std::unique_ptr<Object> child, std::string name) {
    Property& p = Slot(pid, StoredForm::kStrongReference);
    p.name = PropertyNameFor(pid, name);
    p.objects.clear();
    p.objects.push_back(std::move(child));
    return *p.objects.back();
}

Object& Object::AppendChild(std::uint16_t pid, std::unique_ptr<Object> child, std::string name) {
    Property* p = Find(pid);
    if (p == nullptr || p->form != StoredForm::kStrongReferenceVector) {
        p = &Slot(pid, StoredForm::kStrongReferenceVector);
        p->name = PropertyNameFor(pid, name);
    }
    p->objects.push_back(std::move(child));
    return *p->objects.back();
}

Object& Object::AddToSet(std::uint16_t pid, std::unique_ptr<Object> child, std::uint16_t keyPid,
                         std::uint16_t keySource, std::string name) {
    Property* p = Find(pid);
    if (p == nullptr || p->form != StoredForm::kStrongReferenceSet) {
        p = &Slot(pid, StoredForm::kStrongReferenceSet);
        p->name = PropertyNameFor(pid, name);
    }
    p->keyPid = keyPid;
    p->keySource = keySource;
    p->objects.push_back(std::move(child));
    return *p->objects.back();
}

void Object::SetEmptyVector(std::uint16_t pid, std::string name) {
    Property& p = Slot(pid, StoredForm::kStrongReferenceVector);
    p.name = PropertyNameFor(pid, name);
    p.objects.clear();
}

void Object::SetEmptySet(std::uint16_t pid, std::uint16_t keyPid, std::uint16_t keySource,
                         std::string name) {
    Property& p = Slot(pid, StoredForm::kStrongReferenceSet);
    p.name = PropertyNameFor(pid, name);
    p.keyPid = keyPid;
    p.keySource = keySource;
    p.objects.clear();
}

void Object::Remove(std::uint16_t pid) {
    properties_.erase(std::remove_if(properties_.begin(), properties_.end(),
                                     [pid](const Property& p) { return p.pid == pid; }),
                      properties_.end());
}

const Property* Object::Find(std::uint16_t pid) const {
    for (const Property& p : properties_) {
        if (p.pid == pid) {
            return &p;
        }
    }
    return nullptr;
}

Property* Object::Find(std::uint16_t pid) {
    for (Property& p : properties_) {
        if (p.pid == pid) {
            return &p;
        }
    }
    return nullptr;
}

Object* Object::Child(std::uint16_t pid, std::size_t index) const {
    const Property* p = Find(pid);
    if (p == nullptr || index >= p->objects.size()) {
        return nullptr;
    }
    return p->objects[index].get();
}

}  // namespace tessel::aafwriter
