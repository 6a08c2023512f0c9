// Files made by the builder, read back through the reader's SDK-style API: every builder feature
// arrives as written, in both sector sizes and both byte orders.
#include <gtest/gtest.h>

#include <filesystem>

#include "aaf/AAF.h"
#include "aafwriter/builder.h"

namespace {

using namespace tessel::aafwriter;
using Ptr = std::shared_ptr<IAAFHeader>;

#define ASSERT_OK(call) ASSERT_EQ((call), AAFRESULT_SUCCESS) << #call
#define EXPECT_OK(call) EXPECT_EQ((call), AAFRESULT_SUCCESS) << #call

std::string Save(AafBuilder& b, const std::string& name) {
    const std::string path = (std::filesystem::path(::testing::TempDir()) / name).string();
    const auto status = b.Write(path);
    EXPECT_TRUE(status.ok()) << status.message;
    return path;
}

/// Keeps the file open while a test reads it.
struct Opened {
    std::shared_ptr<IAAFFile> file;
    std::shared_ptr<IAAFHeader> header;
};

Opened Open(AafBuilder& b, const std::string& name) {
    Opened o;
    const std::string path = Save(b, name);
    EXPECT_EQ(AAFFileOpenExistingRead(path, 0, o.file), AAFRESULT_SUCCESS) << AafLastOpenError();
    if (o.file) {
        EXPECT_EQ(o.file->GetHeader(o.header), AAFRESULT_SUCCESS);
    }
    return o;
}

std::vector<std::shared_ptr<IAAFMob>> Compositions(const IAAFHeader& header) {
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    std::vector<std::shared_ptr<IAAFMob>> out;
    if (header.GetMobs(&criteria, mobs) != AAFRESULT_SUCCESS) {
        return out;
    }
    std::shared_ptr<IAAFMob> mob;
    while (mobs->NextOne(mob) == AAFRESULT_SUCCESS) {
        out.push_back(mob);
    }
    return out;
}

template <class I, class From>
std::shared_ptr<I> As(const std::shared_ptr<From>& from) {
    std::shared_ptr<I> out;
    QueryInterface(from, out);
    return out;
}

std::shared_ptr<IAAFMobSlot> SlotAt(const IAAFMob& mob, aafUInt32 index) {
    std::shared_ptr<IAAFMobSlot> slot;
    mob.GetSlotAt(index, slot);
    return slot;
}

std::shared_ptr<IAAFSegment> SegmentOf(const IAAFMobSlot& slot) {
    std::shared_ptr<IAAFSegment> segment;
    slot.GetSegment(segment);
    return segment;
}

std::shared_ptr<IAAFComponent> ComponentAt(const std::shared_ptr<IAAFSegment>& segment,
                                           aafUInt32 index) {
    std::shared_ptr<IAAFComponent> component;
    if (auto sequence = As<IAAFSequence>(segment)) {
        sequence->GetComponentAt(index, component);
    }
    return component;
}

aafLength_t LengthOf(const std::shared_ptr<IAAFComponent>& component) {
    aafLength_t length = -1;
    component->GetLength(length);
    return length;
}

std::string NameOf(const IAAFMob& mob) {
    std::string name;
    mob.GetName(name);
    return name;
}

/// The essence descriptor at the end of a composition clip's chain (master slot → source mob).
std::shared_ptr<IAAFEssenceDescriptor> DescriptorOf(const IAAFHeader& header,
                                                    const aafMobID_t& master, aafSlotID_t slotId) {
    std::shared_ptr<IAAFMob> mob;
    std::shared_ptr<IAAFMobSlot> slot;
    if (header.LookupMob(master, mob) != AAFRESULT_SUCCESS ||
        mob->LookupSlot(slotId, slot) != AAFRESULT_SUCCESS) {
        return nullptr;
    }
    auto clip = As<IAAFSourceClip>(SegmentOf(*slot));
    aafSourceRef_t ref{};
    std::shared_ptr<IAAFMob> source;
    if (!clip || clip->GetSourceReference(ref) != AAFRESULT_SUCCESS ||
        header.LookupMob(ref.sourceID, source) != AAFRESULT_SUCCESS) {
        return nullptr;
    }
    std::shared_ptr<IAAFEssenceDescriptor> descriptor;
    if (auto sourceMob = As<IAAFSourceMob>(source)) {
        sourceMob->GetEssenceDescriptor(descriptor);
    }
    return descriptor;
}

struct Layout {
    std::uint32_t sectorSize;
    ByteOrder order;
};

class RoundTrip : public ::testing::TestWithParam<Layout> {
  protected:
    AafBuilder b{{.sectorSize = GetParam().sectorSize, .byteOrder = GetParam().order}};
    std::string Name(const char* what) const {
        return std::string(what)
            .append(GetParam().order == ByteOrder::kBig ? "-B-" : "-L-")
            .append(std::to_string(GetParam().sectorSize));
    }
};

TEST_P(RoundTrip, HeaderIdentificationAndByteOrder) {
    Opened o = Open(b, Name("header"));
    ASSERT_TRUE(o.header);
    std::shared_ptr<IAAFIdentification> id;
    ASSERT_OK(o.header->GetLastIdentification(id));
    std::string company, product, version, platform;
    EXPECT_OK(id->GetCompanyName(company));
    EXPECT_OK(id->GetProductName(product));
    EXPECT_OK(id->GetProductVersionString(version));
    EXPECT_OK(id->GetPlatform(platform));
    EXPECT_EQ(company, "Tessel");
    EXPECT_EQ(product, "Tessel AAF fixture writer");
    EXPECT_EQ(version, "0.1.0");
    EXPECT_EQ(platform, "Linux");
    aafProductVersion_t productVersion{};
    EXPECT_OK(id->GetProductVersion(productVersion));
    EXPECT_EQ(productVersion.minor, 1);
    auto endian = As<IAAFEndian>(o.header);
    ASSERT_TRUE(endian);
    eAAFByteOrder_t order{};
    EXPECT_OK(endian->GetStoredByteOrder(order));
    EXPECT_EQ(order, GetParam().order == ByteOrder::kBig ? kAAFByteOrderBig : kAAFByteOrderLittle);
    EXPECT_TRUE(Compositions(*o.header).empty());
}

// Compositions come out in mob-id order; their slots keep ids, names, physical numbers, rates
// and data kinds (legacy definitions included); the timecode slot keeps start, fps, drop, length.
TEST_P(RoundTrip, CompositionsSlotsAndTimecode) {
    aafMobID_t first = b.NewMobId(), second = b.NewMobId();
    Composition later = b.AddComposition("Second", second);
    Composition earlier = b.AddComposition(std::nullopt, first);  // created last, has no name
    later.AddTimecodeSlot(107892, 30, true, 900, {.editRate = {30000, 1001}, .name = "TC1"});
    later.AddPictureTrack({.editRate = {30000, 1001}, .physicalNumber = 1, .name = "V1"});
    later.AddTrack(DataKind::kLegacySound, {.editRate = {48000, 1}, .physicalNumber = 2});
    later.AddTrack(DataKind::kMatte, {.slotId = 9});
    earlier.AddTimecodeSlot(0, 25, false, std::nullopt, {}, DataKind::kLegacyTimecode);

    Opened o = Open(b, Name("slots"));
    const auto comps = Compositions(*o.header);
    ASSERT_EQ(comps.size(), 2u);
    std::string name;
    EXPECT_EQ(comps[0]->GetName(name), AAFRESULT_PROP_NOT_PRESENT);
    EXPECT_EQ(NameOf(*comps[1]), "Second");
    aafMobID_t id{};
    EXPECT_OK(comps[1]->GetMobID(id));
    EXPECT_EQ(id, second);

    aafNumSlots_t count = 0;
    EXPECT_OK(comps[1]->CountSlots(count));
    ASSERT_EQ(count, 4u);
    auto tcSlot = SlotAt(*comps[1], 0);
    EXPECT_OK(tcSlot->GetName(name));
    EXPECT_EQ(name, "TC1");
    aafRational_t rate{};
    EXPECT_OK(As<IAAFTimelineMobSlot>(tcSlot)->GetEditRate(rate));
    EXPECT_EQ(rate, (aafRational_t{30000, 1001}));
    aafTimecode_t tc{};
    auto timecode = As<IAAFTimecode>(SegmentOf(*tcSlot));
    ASSERT_TRUE(timecode);
    EXPECT_OK(timecode->GetTimecode(tc));
    EXPECT_EQ(tc.startFrame, 107892);
    EXPECT_EQ(tc.fps, 30);
    EXPECT_EQ(tc.drop, kAAFTcDrop);
    EXPECT_EQ(LengthOf(timecode), 900);

    const struct {
        aafUInt32 index;
        aafSlotID_t id;
        aafUInt32 physical;  // 0: absent
        bool picture, sound, matte;
    } expected[] = {{1, 2, 1, true, false, false},
                    {2, 3, 2, false, true, false},
                    {3, 9, 0, false, false, true}};
    for (const auto& e : expected) {
        auto slot = SlotAt(*comps[1], e.index);
        aafSlotID_t slotId = 0;
        EXPECT_OK(slot->GetSlotID(slotId));
        EXPECT_EQ(slotId, e.id);
        aafUInt32 physical = 0;
        EXPECT_EQ(slot->GetPhysicalNum(physical),
                  e.physical ? AAFRESULT_SUCCESS : AAFRESULT_PROP_NOT_PRESENT);
        EXPECT_EQ(physical, e.physical);
        std::shared_ptr<IAAFDataDef> def;
        ASSERT_OK(slot->GetDataDef(def));
        aafBoolean_t picture = false, sound = false, matte = false;
        def->IsPictureKind(picture);
        def->IsSoundKind(sound);
        def->IsMatteKind(matte);
        EXPECT_EQ(picture, e.picture);
        EXPECT_EQ(sound, e.sound);
        EXPECT_EQ(matte, e.matte);
    }
    auto legacy = SlotAt(*comps[0], 0);
    std::shared_ptr<IAAFDataDef> def;
    ASSERT_OK(legacy->GetDataDef(def));
    aafBoolean_t isTimecode = false;
    def->IsTimecodeKind(isTimecode);
    EXPECT_TRUE(isTimecode);
    aafLength_t length = 0;
    EXPECT_EQ(SegmentOf(*legacy)->GetLength(length), AAFRESULT_PROP_NOT_PRESENT);
}

// Clips, fillers, transitions and operation groups keep their order, lengths, references,
// cut points, operations and parameters (constant Rational, constant Int32, varying), and
// groups keep several inputs, including inputs that are not clips.
TEST_P(RoundTrip, SequenceComponentsAndOperationGroups) {
    MediaSpec spec{.name = "Interview", .path = "D:\\Media\\interview.avi", .soundSlots = 2};
    const MediaRef media = b.AddMedia(spec);
    Composition comp = b.AddComposition("Cut");
    Track v1 = comp.AddPictureTrack({.physicalNumber = 1});
    v1.AddClip(media, 100, 250);
    v1.AddTransition(10, 5);
    v1.AddSpeedClip(media, 50, 7, {-1, 2});
    v1.AddFiller(25);
    Object& group =
        v1.Append(b.MakeOperationGroup(DataKind::kPicture, 40, operations::kVideoSpeedControl));
    AafBuilder::AddInput(group, b.MakeSourceClip(DataKind::kPicture, 40, media.masterId, 1, 3));
    AafBuilder::AddInput(group, b.MakeFiller(DataKind::kPicture, 40));
    auto nested = b.MakeSequence(DataKind::kPicture);
    AafBuilder::AppendComponent(*nested, b.MakeFiller(DataKind::kPicture, 40));
    AafBuilder::AddInput(group, std::move(nested));
    b.AddVaryingParameter(group, parameters::kSpeedRatio, interpolations::kLinear,
                          {{{0, 1}, {1, 2}}, {{1, 1}, {2, 1}}});
    b.AddInt32Parameter(group, parameters::kLevel, -7);
    Track a1 = comp.AddSoundTrack({.physicalNumber = 1});
    a1.AddClip(media, 100, 250, 1);

    Opened o = Open(b, Name("components"));
    const auto comps = Compositions(*o.header);
    ASSERT_EQ(comps.size(), 1u);
    auto sequence = As<IAAFSequence>(SegmentOf(*SlotAt(*comps[0], 0)));
    ASSERT_TRUE(sequence);
    aafUInt32 count = 0;
    EXPECT_OK(sequence->CountComponents(count));
    ASSERT_EQ(count, 5u);
    EXPECT_EQ(LengthOf(sequence), 100 - 10 + 50 + 25 + 40);

    auto clip = As<IAAFSourceClip>(ComponentAt(sequence, 0));
    ASSERT_TRUE(clip);
    aafSourceRef_t ref{};
    EXPECT_OK(clip->GetSourceReference(ref));
    EXPECT_EQ(ref.sourceID, media.masterId);
    EXPECT_EQ(ref.sourceSlotID, media.pictureSlot);
    EXPECT_EQ(ref.startTime, 250);
    EXPECT_EQ(LengthOf(clip), 100);

    auto transition = As<IAAFTransition>(ComponentAt(sequence, 1));
    ASSERT_TRUE(transition);
    EXPECT_FALSE(As<IAAFSegment>(ComponentAt(sequence, 1)));
    aafPosition_t cut = 0;
    EXPECT_OK(transition->GetCutPoint(cut));
    EXPECT_EQ(cut, 5);
    EXPECT_EQ(LengthOf(transition), 10);
    std::shared_ptr<IAAFOperationGroup> dissolve;
    ASSERT_OK(transition->GetOperationGroup(dissolve));
    aafUInt32 inputs = 99;
    EXPECT_OK(dissolve->CountSourceSegments(inputs));
    EXPECT_EQ(inputs, 0u);

    auto speed = As<IAAFOperationGroup>(ComponentAt(sequence, 2));
    ASSERT_TRUE(speed);
    std::shared_ptr<IAAFOperationDef> op;
    ASSERT_OK(speed->GetOperationDefinition(op));
    aafUID_t auid{};
    EXPECT_OK(op->GetAUID(auid));
    EXPECT_EQ(auid, kAAFOperationDef_VideoSpeedControl);
    std::shared_ptr<IEnumAAFParameters> params;
    ASSERT_OK(speed->GetParameters(params));
    std::shared_ptr<IAAFParameter> param;
    ASSERT_OK(params->NextOne(param));
    std::shared_ptr<IAAFParameterDef> paramDef;
    ASSERT_OK(param->GetParameterDefinition(paramDef));
    EXPECT_OK(paramDef->GetAUID(auid));
    EXPECT_EQ(auid, kAAFParameterDef_SpeedRatio);
    auto constant = As<IAAFConstantValue>(param);
    ASSERT_TRUE(constant);
    std::shared_ptr<IAAFTypeDef> type;
    ASSERT_OK(constant->GetTypeDefinition(type));
    EXPECT_OK(type->GetAUID(auid));
    EXPECT_EQ(auid, kAAFTypeID_Rational);
    aafRational_t ratio{};
    aafUInt32 read = 0;
    EXPECT_OK(constant->GetValue({reinterpret_cast<aafUInt8*>(&ratio), sizeof ratio}, read));
    EXPECT_EQ(ratio, (aafRational_t{-1, 2}));
    EXPECT_EQ(params->NextOne(param), AAFRESULT_NO_MORE_OBJECTS);
    std::shared_ptr<IAAFSegment> input;
    ASSERT_OK(speed->GetInputSegmentAt(0, input));
    ASSERT_OK(As<IAAFSourceClip>(input)->GetSourceReference(ref));
    EXPECT_EQ(ref.startTime, 7);

    EXPECT_TRUE(As<IAAFFiller>(ComponentAt(sequence, 3)));

    auto many = As<IAAFOperationGroup>(ComponentAt(sequence, 4));
    ASSERT_TRUE(many);
    EXPECT_OK(many->CountSourceSegments(inputs));
    ASSERT_EQ(inputs, 3u);
    ASSERT_OK(many->GetInputSegmentAt(1, input));
    EXPECT_TRUE(As<IAAFFiller>(input));
    ASSERT_OK(many->GetInputSegmentAt(2, input));
    EXPECT_TRUE(As<IAAFSequence>(input));
    // Parameters come in the order of their definitions' stored bytes: Level (20 23 96 e4 …)
    // before SpeedRatio (80 9a 55 72 …).
    ASSERT_OK(many->GetParameters(params));
    ASSERT_OK(params->NextOne(param));
    constant = As<IAAFConstantValue>(param);
    ASSERT_TRUE(constant);
    ASSERT_OK(constant->GetTypeDefinition(type));
    EXPECT_OK(type->GetAUID(auid));
    EXPECT_EQ(auid, kAAFTypeID_Int32);
    aafInt32 level = 0;
    EXPECT_OK(constant->GetValue({reinterpret_cast<aafUInt8*>(&level), sizeof level}, read));
    EXPECT_EQ(level, -7);
    ASSERT_OK(params->NextOne(param));
    EXPECT_TRUE(As<IAAFVaryingValue>(param));
    EXPECT_FALSE(As<IAAFConstantValue>(param));

    auto sound = As<IAAFSourceClip>(ComponentAt(SegmentOf(*SlotAt(*comps[0], 1)), 0));
    ASSERT_TRUE(sound);
    EXPECT_OK(sound->GetSourceReference(ref));
    EXPECT_EQ(ref.sourceSlotID, media.soundSlots[1]);
}

// Master clips lead to source mobs whose descriptors carry what was asked for: picture formats
// (CDCI, RGBA, line maps of 0 to 3 entries, absent stored view), sound formats (WAVE summaries
// built or given, AIFC, PCM), locators (network, text, none) and generator slot names.
TEST_P(RoundTrip, MediaChainsDescriptorsAndLocators) {
    std::vector<MediaSpec> specs(10);
    const char* names[] = {"HD",           "Progressive", "RGBA", "NoLineMap", "Wave",
                           "GivenSummary", "Aifc",        "Pcm",  "Text",      "Matte"};
    const char* paths[] = {
        "D:\\Media\\hd.avi", "p.mov", "r.tif", "n.avi", "w.wav", "g.wav", "a.aif", "m.mxf",
        "somewhere",         ""};
    for (std::size_t i = 0; i < specs.size(); ++i) {
        specs[i].name = names[i];
        specs[i].path = paths[i];
        if (i >= 4 && i <= 7) {
            specs[i].picture.reset();
            specs[i].soundSlots = 1;
        }
    }
    specs[1].picture->storedWidth = 1280;
    specs[1].picture->storedHeight = 720;
    specs[1].picture->aspectRatio = aafRational_t{0, 1};
    specs[1].picture->lineMap = std::vector<std::int32_t>{42};
    specs[2].picture->rgba = true;
    specs[2].picture->storedWidth.reset();
    specs[2].picture->storedHeight.reset();
    specs[2].picture->lineMap = std::vector<std::int32_t>{1, 2, 3};
    specs[3].picture->lineMap.reset();
    specs[4].sound.channels = 1;
    specs[4].sound.sampleRate = 44100;
    specs[4].sound.bitsPerSample = 24;
    specs[5].sound.summary = std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 1, 2};
    specs[6].sound.kind = SoundDescriptorKind::kAifc;
    specs[7].sound.kind = SoundDescriptorKind::kPcm;
    specs[8].locator = LocatorKind::kText;
    specs[9].locator = LocatorKind::kNone;
    specs[9].slotName = "Color Matte";
    std::vector<MediaRef> refs;
    for (const MediaSpec& s : specs) {
        refs.push_back(b.AddMedia(s));
    }
    Opened o = Open(b, Name("media"));
    const IAAFHeader& h = *o.header;
    auto slotOf = [&](const MediaRef& r) {
        return r.pictureSlot ? r.pictureSlot : r.soundSlots[0];
    };
    auto picture = [&](std::size_t i) {
        return As<IAAFDigitalImageDescriptor>(DescriptorOf(h, refs[i].masterId, slotOf(refs[i])));
    };
    auto path = [&](std::size_t i, std::string& out) {
        std::shared_ptr<IAAFLocator> locator;
        const auto d = DescriptorOf(h, refs[i].masterId, slotOf(refs[i]));
        const AAFRESULT r = d->GetLocatorAt(0, locator);
        return r != AAFRESULT_SUCCESS ? r : locator->GetPath(out);
    };

    std::shared_ptr<IAAFMob> master;
    ASSERT_OK(h.LookupMob(refs[0].masterId, master));
    EXPECT_TRUE(As<IAAFMasterMob>(master));
    std::shared_ptr<IAAFMobSlot> slot;
    ASSERT_OK(master->LookupSlot(refs[0].pictureSlot, slot));
    std::string text;
    EXPECT_OK(slot->GetName(text));
    EXPECT_EQ(text, "hd.avi");
    EXPECT_OK(path(0, text));
    EXPECT_EQ(text, "D:\\Media\\hd.avi");

    aafUInt32 height = 0, width = 0, entries = 0;
    aafRational_t aspect{};
    auto hd = picture(0);
    ASSERT_TRUE(hd);
    EXPECT_TRUE(As<IAAFCDCIDescriptor>(hd));
    EXPECT_OK(hd->GetStoredView(height, width));
    EXPECT_EQ(height, 1080u);
    EXPECT_EQ(width, 1920u);
    EXPECT_OK(hd->GetImageAspectRatio(aspect));
    EXPECT_EQ(aspect, (aafRational_t{16, 9}));
    EXPECT_OK(hd->GetVideoLineMapSize(entries));
    EXPECT_EQ(entries, 2u);
    aafInt32 map[3] = {};
    EXPECT_OK(hd->GetVideoLineMap(map));
    EXPECT_EQ(map[0], 21);
    EXPECT_EQ(map[1], 584);

    auto progressive = picture(1);
    EXPECT_OK(progressive->GetImageAspectRatio(aspect));
    EXPECT_EQ(aspect, (aafRational_t{0, 1}));
    EXPECT_OK(progressive->GetVideoLineMapSize(entries));
    EXPECT_EQ(entries, 1u);

    auto rgba = picture(2);
    ASSERT_TRUE(rgba);
    EXPECT_TRUE(As<IAAFRGBADescriptor>(rgba));
    EXPECT_NE(rgba->GetStoredView(height, width), AAFRESULT_SUCCESS);
    EXPECT_OK(rgba->GetVideoLineMapSize(entries));
    EXPECT_EQ(entries, 3u);
    EXPECT_OK(rgba->GetVideoLineMap(map));
    EXPECT_EQ(map[2], 3);
    entries = 9;
    picture(3)->GetVideoLineMapSize(entries);
    EXPECT_EQ(entries, 0u);

    auto wave = As<IAAFWAVEDescriptor>(DescriptorOf(h, refs[4].masterId, refs[4].soundSlots[0]));
    ASSERT_TRUE(wave);
    aafUInt32 size = 0;
    EXPECT_OK(wave->GetSummaryBufferSize(size));
    ASSERT_EQ(size, 44u);
    std::vector<aafUInt8> summary(size);
    EXPECT_OK(wave->GetSummary(summary));
    EXPECT_EQ(summary, WaveSummary(1, 44100, 24));
    EXPECT_EQ(summary[22], 1);  // channels, little-endian whatever the file's byte order
    auto given = As<IAAFWAVEDescriptor>(DescriptorOf(h, refs[5].masterId, refs[5].soundSlots[0]));
    EXPECT_OK(given->GetSummaryBufferSize(size));
    EXPECT_EQ(size, 6u);
    for (std::size_t i : {6u, 7u}) {
        auto d = DescriptorOf(h, refs[i].masterId, refs[i].soundSlots[0]);
        ASSERT_TRUE(d);
        EXPECT_FALSE(As<IAAFWAVEDescriptor>(d));
        EXPECT_TRUE(As<IAAFFileDescriptor>(d));
    }

    EXPECT_EQ(path(8, text), AAFRESULT_ABSTRACT_CLASS);
    std::shared_ptr<IAAFLocator> locator;
    ASSERT_OK(DescriptorOf(h, refs[8].masterId, 1)->GetLocatorAt(0, locator));
    EXPECT_OK(As<IAAFTextLocator>(locator)->GetName(text));
    EXPECT_EQ(text, "somewhere");
    EXPECT_EQ(path(9, text), AAFRESULT_BADINDEX);
    ASSERT_OK(h.LookupMob(refs[9].masterId, master));
    ASSERT_OK(master->LookupSlot(1, slot));
    EXPECT_OK(slot->GetName(text));
    EXPECT_EQ(text, "Color Matte");
}

// What real files do that the SDK tolerates: clips without StartTime or Length, the all-zero
// source id and ids of no mob, event and static slots, a timecode slot holding a Sequence, and an
// object of an extension class that readers resolve through the MetaDictionary.
TEST_P(RoundTrip, OddShapesRealFilesShow) {
    b.DeclareClass(
        {.name = "Vendor Matte Descriptor",
         .id = {0xB54E6C75, 0xDF3A, 0x11D3, {0xA0, 0x78, 0, 0x60, 0x94, 0xEB, 0x75, 0xCB}},
         .parent = classes::kCDCIDescriptor,
         .properties = {{.name = "VendorFlag",
                         .id = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}},
                         .type = types::kUInt32,
                         .pid = 0xFFF0}}});
    auto descriptor = b.MakePictureDescriptor({}, {25, 1}, 100);
    descriptor->SetClassId(
        {0xB54E6C75, 0xDF3A, 0x11D3, {0xA0, 0x78, 0, 0x60, 0x94, 0xEB, 0x75, 0xCB}});
    descriptor->SetUInt32(0xFFF0, 1);
    const aafMobID_t source =
        b.AddSourceMob("Vendor", std::move(descriptor), DataKind::kPicture, {25, 1}, 100);

    Composition comp = b.AddComposition("Odd");
    Track v1 = comp.AddPictureTrack();
    v1.AddSourceClip(aafMobID_t{}, 0, 10);
    Object& noStart = v1.AddSourceClip(source, 1, 10);
    noStart.Remove(pids::kStartTime);
    aafMobID_t nowhere = b.NewMobId();
    v1.Append(b.MakeSourceClip(DataKind::kPicture, std::nullopt, nowhere, 1, 0));
    comp.AddSlot(b.MakeEventSlot(comp.NextSlotId(), b.MakeFiller(DataKind::kPicture, 5), {25, 1}));
    comp.AddSlot(b.MakeStaticSlot(comp.NextSlotId(), b.MakeFiller(DataKind::kPicture, 5)));
    auto tcSequence = b.MakeSequence(DataKind::kTimecode);
    AafBuilder::AppendComponent(*tcSequence, b.MakeTimecode(3600, 25, false, 10));
    comp.AddSlot(b.MakeTimelineSlot(comp.NextSlotId(), std::move(tcSequence), {}));

    Opened o = Open(b, Name("odd"));
    const auto comps = Compositions(*o.header);
    ASSERT_EQ(comps.size(), 1u);
    auto sequence = SegmentOf(*SlotAt(*comps[0], 0));
    aafSourceRef_t ref{};
    ASSERT_OK(As<IAAFSourceClip>(ComponentAt(sequence, 0))->GetSourceReference(ref));
    EXPECT_EQ(ref.sourceID, aafMobID_t{});
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(o.header->LookupMob(ref.sourceID, mob), AAFRESULT_MOB_NOT_FOUND);
    EXPECT_EQ(As<IAAFSourceClip>(ComponentAt(sequence, 1))->GetSourceReference(ref),
              AAFRESULT_PROP_NOT_PRESENT);
    auto lost = As<IAAFSourceClip>(ComponentAt(sequence, 2));
    aafLength_t length = 0;
    EXPECT_EQ(lost->GetLength(length), AAFRESULT_PROP_NOT_PRESENT);
    ASSERT_OK(lost->GetSourceReference(ref));
    EXPECT_EQ(o.header->LookupMob(ref.sourceID, mob), AAFRESULT_MOB_NOT_FOUND);

    auto event = SlotAt(*comps[0], 1);
    EXPECT_TRUE(As<IAAFEventMobSlot>(event));
    EXPECT_FALSE(As<IAAFTimelineMobSlot>(event));
    aafRational_t rate{};
    EXPECT_OK(As<IAAFEventMobSlot>(event)->GetEditRate(rate));
    EXPECT_EQ(rate, (aafRational_t{25, 1}));
    auto fixed = SlotAt(*comps[0], 2);
    EXPECT_FALSE(As<IAAFTimelineMobSlot>(fixed));
    EXPECT_FALSE(As<IAAFEventMobSlot>(fixed));
    auto tcSlot = SlotAt(*comps[0], 3);
    std::shared_ptr<IAAFDataDef> def;
    ASSERT_OK(tcSlot->GetDataDef(def));
    aafBoolean_t isTimecode = false;
    def->IsTimecodeKind(isTimecode);
    EXPECT_TRUE(isTimecode);
    EXPECT_TRUE(As<IAAFSequence>(SegmentOf(*tcSlot)));
    EXPECT_FALSE(As<IAAFTimecode>(SegmentOf(*tcSlot)));

    ASSERT_OK(o.header->LookupMob(source, mob));
    std::shared_ptr<IAAFEssenceDescriptor> d;
    ASSERT_OK(As<IAAFSourceMob>(mob)->GetEssenceDescriptor(d));
    ASSERT_TRUE(d);
    EXPECT_TRUE(As<IAAFCDCIDescriptor>(d));
    aafUInt32 height = 0, width = 0;
    EXPECT_OK(As<IAAFDigitalImageDescriptor>(d)->GetStoredView(height, width));
    EXPECT_EQ(width, 1920u);
    std::shared_ptr<IAAFClassDef> classDef;
    ASSERT_OK(d->GetDefinition(classDef));
    std::string name;
    EXPECT_OK(classDef->GetName(name));
    EXPECT_EQ(name, "Vendor Matte Descriptor");
}

INSTANTIATE_TEST_SUITE_P(
    AafWriter, RoundTrip,
    ::testing::Values(Layout{512, ByteOrder::kLittle}, Layout{4096, ByteOrder::kLittle},
                      Layout{512, ByteOrder::kBig}, Layout{4096, ByteOrder::kBig}),
    [](const ::testing::TestParamInfo<Layout>& layout) {
        return std::string(layout.param.order == ByteOrder::kBig ? "Big" : "Little")
            .append(std::to_string(layout.param.sectorSize));
    });

}  // namespace
