#include "aafwriter/aaf_file_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "aafwriter/ids.h"

namespace tessel::aafwriter {
namespace {

constexpr std::size_t kSingleBudget = 32;
constexpr std::size_t kCollectionBudget = 22;
constexpr std::size_t kTargetCount = 8;

cfb::Clsid ClsidOf(const aafUID_t& id) {
    // Class ids are stored little-endian whatever the file's byte order.
    ValueBytes bytes(ByteOrder::kLittle);
    bytes.Auid(id);
    const auto v = bytes.Take();
    cfb::Clsid clsid{};
    std::copy(v.begin(), v.end(), clsid.begin());
    return clsid;
}

std::string Hex(std::uint32_t v) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return out;
}

/// A key as the SDK orders it: Data1..Data3 of the AUID in little-endian form.
std::vector<std::uint8_t> OrderingForm(std::vector<std::uint8_t> key, ByteOrder order) {
    if (order == ByteOrder::kBig) {
        const std::size_t at = key.size() == 32 ? 16 : 0;
        if (key.size() >= at + 8) {
            std::reverse(key.begin() + static_cast<std::ptrdiff_t>(at),
                         key.begin() + static_cast<std::ptrdiff_t>(at + 4));
            std::reverse(key.begin() + static_cast<std::ptrdiff_t>(at + 4),
                         key.begin() + static_cast<std::ptrdiff_t>(at + 6));
            std::reverse(key.begin() + static_cast<std::ptrdiff_t>(at + 6),
                         key.begin() + static_cast<std::ptrdiff_t>(at + 8));
        }
    }
    return key;
}

std::vector<std::uint16_t> TargetPath(WeakTarget target) {
    switch (target) {
        case WeakTarget::kClassDefinitions:
            return {0x0001, 0x0003};
        case WeakTarget::kTypeDefinitions:
            return {0x0001, 0x0004};
        case WeakTarget::kDataDefinitions:
            return {0x0002, 0x3B04, 0x2605};
        case WeakTarget::kOperationDefinitions:
            return {0x0002, 0x3B04, 0x2603};
        case WeakTarget::kParameterDefinitions:
            return {0x0002, 0x3B04, 0x2604};
        case WeakTarget::kCodecDefinitions:
            return {0x0002, 0x3B04, 0x2607};
        case WeakTarget::kContainerDefinitions:
            return {0x0002, 0x3B04, 0x2608};
        case WeakTarget::kInterpolationDefinitions:
            return {0x0002, 0x3B04, 0x2609};
    }
    return {};
}

class Serializer {
  public:
    Serializer(cfb::CompoundFileWriter& cfb, ByteOrder order) : cfb_(cfb), order_(order) {
        tags_.fill(-1);
    }

    void StoreRoot(const Object& metaDictionary, const Object& header) {
        cfb_.SetRootClsid(ClsidOf(classes::kRoot));
        const std::string metaName = MangledName("MetaDictionary", 0x0001, kSingleBudget);
        const std::string headerName = MangledName("Header", 0x0002, kSingleBudget);
        // Header first: the tags of the weak references then follow the order of first use.
        Store(header, cfb_.AddStorage(cfb::CompoundFileWriter::kRootId, headerName,
                                      ClsidOf(header.classId())));
        Store(metaDictionary, cfb_.AddStorage(cfb::CompoundFileWriter::kRootId, metaName,
                                              ClsidOf(metaDictionary.classId())));
        PropertiesStream root(order_);
        root.Add(0x0001, StoredForm::kStrongReference, ValueBytes(order_).String(metaName).Take());
        root.Add(0x0002, StoredForm::kStrongReference,
                 ValueBytes(order_).String(headerName).Take());
        cfb_.AddStream(cfb::CompoundFileWriter::kRootId, "properties", root.Take(error_));
        cfb_.AddStream(cfb::CompoundFileWriter::kRootId, "referenced properties",
                       ReferencedProperties());
    }

    const std::string& error() const { return error_; }

  private:
    class PropertiesStream {
      public:
        explicit PropertiesStream(ByteOrder order) : order_(order) {}
        void Add(std::uint16_t pid, StoredForm form, std::vector<std::uint8_t> value) {
            entries_.push_back({pid, static_cast<std::uint16_t>(form), std::move(value)});
        }
        std::vector<std::uint8_t> Take(std::string& error) {
            ValueBytes out(order_);
            out.U8(order_ == ByteOrder::kLittle ? 'L' : 'B').U8(0x20);
            out.U16(static_cast<std::uint16_t>(entries_.size()));
            for (const Entry& e : entries_) {
                if (e.value.size() > 0xFFFF && error.empty()) {
                    error = "property 0x" + Hex(e.pid) + " is longer than 65535 bytes";
                }
                out.U16(e.pid).U16(e.form).U16(static_cast<std::uint16_t>(e.value.size()));
            }
            for (const Entry& e : entries_) {
                out.Raw(e.value);
            }
            return out.Take();
        }

      private:
        struct Entry {
            std::uint16_t pid, form;
            std::vector<std::uint8_t> value;
        };
        ByteOrder order_;
        std::vector<Entry> entries_;
    };

    std::uint16_t Tag(WeakTarget target) {
        auto& tag = tags_[static_cast<std::size_t>(target)];
        if (tag < 0) {
            tag = static_cast<int>(order_of_use_.size());
            order_of_use_.push_back(target);
        }
        return static_cast<std::uint16_t>(tag);
    }

    void Store(const Object& object, cfb::CompoundFileWriter::EntryId storage) {
        PropertiesStream stream(order_);
        for (const Property& p : object.properties()) {
            ValueBytes value(order_);
            switch (p.form) {
                case StoredForm::kData:
                    stream.Add(p.pid, p.form, p.value);
                    break;
                case StoredForm::kWeakReference:
                    value.U16(Tag(p.target)).U16(p.keyPid).U8(p.keySize).Raw(p.value);
                    stream.Add(p.pid, p.form, value.Take());
                    break;
                case StoredForm::kWeakReferenceVector:
                case StoredForm::kWeakReferenceSet: {
                    const std::string name = MangledName(p.name, p.pid, kCollectionBudget);
                    value.U32(static_cast<std::uint32_t>(p.value.size() / p.keySize))
                        .U16(Tag(p.target))
                        .U16(p.keyPid)
                        .U8(p.keySize)
                        .Raw(p.value);
                    cfb_.AddStream(storage, name + " index", value.Take());
                    stream.Add(p.pid, p.form, ValueBytes(order_).String(name).Take());
                    break;
                }
                case StoredForm::kStrongReference: {
                    const std::string name = MangledName(p.name, p.pid, kSingleBudget);
                    if (!p.objects.empty() && p.objects.front() != nullptr) {
                        const Object& child = *p.objects.front();
                        Store(child, cfb_.AddStorage(storage, name, ClsidOf(child.classId())));
                    }
                    stream.Add(p.pid, p.form, ValueBytes(order_).String(name).Take());
                    break;
                }
                case StoredForm::kStrongReferenceVector:
                    StoreVector(p, storage, stream);
                    break;
                case StoredForm::kStrongReferenceSet:
                    StoreSet(p, storage, stream);
                    break;
            }
        }
        cfb_.AddStream(storage, "properties", stream.Take(error_));
    }

    void StoreVector(const Property& p, cfb::CompoundFileWriter::EntryId storage,
                     PropertiesStream& stream) {
        const std::string name = MangledName(p.name, p.pid, kCollectionBudget);
        const auto count = static_cast<std::uint32_t>(p.objects.size());
        ValueBytes index(order_);
        index.U32(count).U32(count).U32(0xFFFFFFFF);
        for (std::uint32_t k = 0; k < count; ++k) {
            index.U32(k);
            const Object& child = *p.objects[k];
            Store(child, cfb_.AddStorage(storage, ElementName(name, k), ClsidOf(child.classId())));
        }
        cfb_.AddStream(storage, name + " index", index.Take());
        stream.Add(p.pid, p.form, ValueBytes(order_).String(name).Take());
    }

    void StoreSet(const Property& p, cfb::CompoundFileWriter::EntryId storage,
                  PropertiesStream& stream) {
        const std::string name = MangledName(p.name, p.pid, kCollectionBudget);
        const auto count = static_cast<std::uint32_t>(p.objects.size());
        // Local keys follow insertion; the index lists the elements in ascending key order,
        // as SDK writers store sets.
        std::vector<std::vector<std::uint8_t>> keys(count);
        std::size_t keySize = 0;
        for (std::uint32_t k = 0; k < count; ++k) {
            const Property* key = p.objects[k]->Find(p.keySource);
            if (key != nullptr) {
                keys[k] = key->value;
                keySize = std::max(keySize, keys[k].size());
            }
        }
        for (auto& key : keys) {
            key.resize(keySize, 0);
        }
        std::vector<std::vector<std::uint8_t>> ordering(count);
        for (std::uint32_t k = 0; k < count; ++k) {
            ordering[k] = OrderingForm(keys[k], order_);
        }
        std::vector<std::uint32_t> order(count);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const auto& x = ordering[a];
            const auto& y = ordering[b];
            for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
                if (x[i] != y[i]) {
                    return x[i] < y[i];
                }
            }
            return x.size() < y.size();
        });
        ValueBytes index(order_);
        index.U32(count)
            .U32(count)
            .U32(0xFFFFFFFF)
            .U16(p.keyPid)
            .U8(static_cast<std::uint8_t>(keySize));
        for (std::uint32_t k : order) {
            index.U32(k).U32(1).Raw(keys[k]);
        }
        for (std::uint32_t k = 0; k < count; ++k) {
            const Object& child = *p.objects[k];
            Store(child, cfb_.AddStorage(storage, ElementName(name, k), ClsidOf(child.classId())));
        }
        cfb_.AddStream(storage, name + " index", index.Take());
        stream.Add(p.pid, p.form, ValueBytes(order_).String(name).Take());
    }

    static std::string ElementName(const std::string& collection, std::uint32_t key) {
        std::string name = collection;
        name.push_back('{');
        name.append(Hex(key));
        name.push_back('}');
        return name;
    }

    std::vector<std::uint8_t> ReferencedProperties() const {
        std::vector<std::uint16_t> pids;
        for (WeakTarget target : order_of_use_) {
            for (std::uint16_t pid : TargetPath(target)) {
                pids.push_back(pid);
            }
            pids.push_back(0);
        }
        ValueBytes out(order_);
        out.U8(order_ == ByteOrder::kLittle ? 'L' : 'B');
        out.U16(static_cast<std::uint16_t>(order_of_use_.size()));
        out.U32(static_cast<std::uint32_t>(pids.size()));
        for (std::uint16_t pid : pids) {
            out.U16(pid);
        }
        return out.Take();
    }

    cfb::CompoundFileWriter& cfb_;
    ByteOrder order_;
    std::array<int, kTargetCount> tags_{};
    std::vector<WeakTarget> order_of_use_;
    std::string error_;
};

cfb::Clsid FileSignature(std::uint32_t sectorSize) {
    // The AAF file-kind signatures the SDK checks at header offset 8.
    static constexpr aafUID_t k512 = {
        0x42464141, 0x000D, 0x4D4F, {0x06, 0x0E, 0x2B, 0x34, 0x01, 0x01, 0x01, 0xFF}};
    static constexpr aafUID_t k4096 = {
        0x0D010201, 0x0200, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x03, 0x02, 0x01, 0x01}};
    return ClsidOf(sectorSize == 4096 ? k4096 : k512);
}

bool Build(const Object& metaDictionary, const Object& header, const FileLayout& layout,
           cfb::CompoundFileWriter& cfb, std::string& error) {
    cfb.SetHeaderClsid(FileSignature(layout.sectorSize));
    Serializer serializer(cfb, layout.byteOrder);
    serializer.StoreRoot(metaDictionary, header);
    error = serializer.error();
    return error.empty();
}

}  // namespace

std::string MangledName(std::string_view propertyName, std::uint16_t pid, std::size_t budget) {
    const std::string hex = Hex(pid);
    const std::size_t room = budget - 2 - hex.size();
    std::string name(propertyName);
    if (name.size() > room) {
        const std::size_t head = room / 2;
        const std::size_t tail = room - head - 1;
        name = name.substr(0, head) + "-" + name.substr(name.size() - tail);
    }
    name.push_back('-');
    name.append(hex);
    return name;
}

cfb::WriteStatus WriteAafFile(const Object& metaDictionary, const Object& header,
                              const FileLayout& layout, const std::string& path) {
    cfb::CompoundFileWriter cfb(layout.sectorSize);
    std::string error;
    if (!Build(metaDictionary, header, layout, cfb, error)) {
        return {error};
    }
    return cfb.Write(path);
}

std::vector<std::uint8_t> AafFileBytes(const Object& metaDictionary, const Object& header,
                                       const FileLayout& layout, cfb::WriteStatus* status) {
    cfb::CompoundFileWriter cfb(layout.sectorSize);
    std::string error;
    if (!Build(metaDictionary, header, layout, cfb, error)) {
        if (status != nullptr) {
            status->message = error;
        }
        return {};
    }
    return cfb.ToBytes(status);
}

}  // namespace tessel::aafwriter
