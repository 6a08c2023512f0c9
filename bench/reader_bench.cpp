// The inner parts of reading an export and building the model: opening and indexing the
// container, looking children and mobs up, walking a timeline's components, decoding strings,
// and the clip registries. The input is a random EDIUS-shaped edit of 10,000 clips, made in
// memory by the fixture writer.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "aaf/AAF.h"
#include "aaf/aaf_file.h"
#include "aaf/file_data.h"
#include "aaf/object_node.h"
#include "edit_description.h"
#include "model/clip_item.h"
#include "model/clip_registry.h"
#include "random_edit.h"

namespace {

using tessel::aaf::AafFile;
using tessel::aaf::CompoundFile;
using tessel::aaf::FileData;
using tessel::aaf::NodePtr;

constexpr std::int64_t kClips = 10'000;

std::shared_ptr<const FileData> MakeEdit(std::int64_t clips) {
    auto edit = tessel::mkaaf::MakeRandomEdit(1, clips, 512);
    tessel::mkaaf::DescriptionStatus status;
    tessel::aafwriter::AafBuilder builder(
        tessel::mkaaf::OptionsFromDescription(edit.description, status));
    tessel::mkaaf::BuildFromDescription(edit.description, builder);
    const std::vector<std::uint8_t> written = builder.ToBytes();
    return FileData::FromBytes(std::string(written.begin(), written.end()));
}

const std::shared_ptr<const FileData>& EditBytes() {
    static const std::shared_ptr<const FileData> bytes = MakeEdit(kClips);
    return bytes;
}

std::shared_ptr<AafFile> OpenEdit(const std::shared_ptr<const FileData>& bytes = EditBytes()) {
    std::shared_ptr<AafFile> file;
    if (!AafFile::Open(bytes, file).ok()) {
        std::abort();
    }
    return file;
}

std::shared_ptr<IAAFHeader> HeaderOf(const std::shared_ptr<AafFile>& file) {
    NodePtr node;
    file->LoadHeader(node);
    return std::make_shared<IAAFHeader>(node);
}

// Opening: the container's header, FAT and directory, every storage's children, the header; for
// 10,000 and 100,000 clips, to see that it grows linearly.
void OpenContainer(benchmark::State& state) {
    const std::shared_ptr<const FileData> bytes =
        state.range(0) == kClips ? EditBytes() : MakeEdit(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenEdit(bytes));
    }
    state.counters["entries"] = OpenEdit(bytes)->Container().EntryCount();
}
BENCHMARK(OpenContainer)->Arg(kClips)->Arg(10 * kClips)->Unit(benchmark::kMillisecond);

// Every child of the storage with the most children, looked up by its name.
void FindChildByName(benchmark::State& state) {
    const auto file = OpenEdit();
    const CompoundFile& container = file->Container();
    CompoundFile::EntryId biggest = CompoundFile::kRoot;
    for (CompoundFile::EntryId id = 0; id < container.EntryCount(); ++id) {
        if (container.IsStorage(id) &&
            container.Children(id).size() > container.Children(biggest).size()) {
            biggest = id;
        }
    }
    std::vector<std::u16string> names;
    for (CompoundFile::EntryId child : container.Children(biggest)) {
        names.emplace_back(container.Name16(child));
    }
    for (auto _ : state) {
        for (const std::u16string& name : names) {
            benchmark::DoNotOptimize(container.FindChild(biggest, name));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(FindChildByName)->Unit(benchmark::kMillisecond);

// Every mob looked up by its id, in a freshly opened file (each mob decoded on first use) and
// again in a file that has decoded them already.
void LookupEveryMob(benchmark::State& state) {
    const bool decoded = state.range(0) != 0;
    auto file = OpenEdit();
    std::vector<aafMobID_t> ids;
    std::shared_ptr<IEnumAAFMobs> mobs;
    HeaderOf(file)->GetMobs(nullptr, mobs);
    for (std::shared_ptr<IAAFMob> mob; AAFRESULT_SUCCEEDED(mobs->NextOne(mob)); mob.reset()) {
        aafMobID_t id{};
        mob->GetMobID(id);
        ids.push_back(id);
    }
    for (auto _ : state) {
        if (!decoded) {
            state.PauseTiming();
            file = OpenEdit();
            state.ResumeTiming();
        }
        const auto header = HeaderOf(file);
        for (const aafMobID_t& id : ids) {
            std::shared_ptr<IAAFMob> mob;
            header->LookupMob(id, mob);
            benchmark::DoNotOptimize(mob);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ids.size()));
}
BENCHMARK(LookupEveryMob)->Arg(0)->Arg(1)->ArgNames({"decoded"})->Unit(benchmark::kMillisecond);

// What building the tracks reads: every component of every composition slot, its length and
// kind, and for each source clip the mob it refers to, that mob's slot and name.
void WalkTimelines(benchmark::State& state) {
    std::int64_t clips = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto file = OpenEdit();
        state.ResumeTiming();
        const auto header = HeaderOf(file);
        aafSearchCrit_t criteria{};
        criteria.searchTag = kAAFByMobKind;
        criteria.tags.mobKind = kAAFCompMob;
        std::shared_ptr<IEnumAAFMobs> mobs;
        header->GetMobs(&criteria, mobs);
        clips = 0;
        for (std::shared_ptr<IAAFMob> mob; AAFRESULT_SUCCEEDED(mobs->NextOne(mob)); mob.reset()) {
            aafNumSlots_t slots = 0;
            mob->CountSlots(slots);
            for (aafUInt32 s = 0; s < slots; ++s) {
                std::shared_ptr<IAAFMobSlot> slot;
                std::shared_ptr<IAAFSegment> segment;
                std::shared_ptr<IAAFSequence> sequence;
                mob->GetSlotAt(s, slot);
                if (!slot || AAFRESULT_FAILED(slot->GetSegment(segment)) ||
                    AAFRESULT_FAILED(QueryInterface(segment, sequence))) {
                    continue;
                }
                aafUInt32 count = 0;
                sequence->CountComponents(count);
                for (aafUInt32 i = 0; i < count; ++i) {
                    std::shared_ptr<IAAFComponent> component;
                    std::shared_ptr<IAAFSourceClip> clip;
                    aafLength_t length = 0;
                    sequence->GetComponentAt(i, component);
                    component->GetLength(length);
                    if (AAFRESULT_FAILED(QueryInterface(component, clip))) {
                        continue;
                    }
                    aafSourceRef_t ref{};
                    std::shared_ptr<IAAFMob> source;
                    std::shared_ptr<IAAFMobSlot> sourceSlot;
                    std::string name;
                    clip->GetSourceReference(ref);
                    if (AAFRESULT_SUCCEEDED(header->LookupMob(ref.sourceID, source))) {
                        source->GetName(name);
                        source->LookupSlot(ref.sourceSlotID, sourceSlot);
                    }
                    ++clips;
                }
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * clips);
}
BENCHMARK(WalkTimelines)->Unit(benchmark::kMillisecond);

// Decoding a stored UTF-16 string property into UTF-8: every mob's name.
void DecodeNames(benchmark::State& state) {
    const auto file = OpenEdit();
    std::vector<std::shared_ptr<IAAFMob>> all;
    std::shared_ptr<IEnumAAFMobs> mobs;
    HeaderOf(file)->GetMobs(nullptr, mobs);
    for (std::shared_ptr<IAAFMob> mob; AAFRESULT_SUCCEEDED(mobs->NextOne(mob)); mob.reset()) {
        all.push_back(mob);
    }
    for (auto _ : state) {
        for (const auto& mob : all) {
            std::string name;
            mob->GetName(name);
            benchmark::DoNotOptimize(name);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(all.size()));
}
BENCHMARK(DecodeNames)->Unit(benchmark::kMillisecond);

// The audio registry as a conversion fills and asks it: 100,000 items over 2,500 media files,
// then every video clip's question for the audio at its place.
void FillAndLinkRegistry(benchmark::State& state) {
    constexpr int kItems = 100'000;
    std::vector<std::unique_ptr<FCAudioClipItem>> items;
    for (int i = 0; i < kItems; ++i) {
        auto item = std::make_unique<FCAudioClipItem>(nullptr, nullptr, int64_t{i} * 50);
        item->mediaPath = "D:\\EDIUS\\Project\\Media\\clip_" + std::to_string(i % 2500) + ".avi";
        item->length = 50;
        items.push_back(std::move(item));
    }
    for (auto _ : state) {
        ClipRegistry registry;
        for (const auto& item : items) {
            registry.Register(item.get());
        }
        for (const auto& item : items) {
            benchmark::DoNotOptimize(
                registry.FindAt(item->mediaPath, item->recordStart, item->length));
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(FillAndLinkRegistry)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
