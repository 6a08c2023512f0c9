// The SDK's observable behaviour that callers rely on: absent properties, first matches, kinds,
// buffers, byte orders, closing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "aaf/AAF.h"
#include "aaf/class_table.h"
#include "aaf/object_node.h"
#include "test_aaf.h"
#include "test_files.h"

namespace tessel::aaf::test {
namespace {

std::shared_ptr<IAAFMob> Mob(const std::shared_ptr<AafFile>& file, std::uint32_t material) {
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(HeaderOf(file)->LookupMob(TestMobID(material), mob), AAFRESULT_SUCCESS);
    return mob;
}

Bytes MobProperties(std::uint32_t material, std::vector<Property> more = {}) {
    more.insert(more.begin(), {0x4401, 0x82, MobIDBytes(TestMobID(material))});
    return PropertiesStream(more);
}

/// A file with a master mob (1) of three slots, ids 7, 3, 7; a nameless composition (2); a source
/// mob (3) with a WAVE descriptor holding a text and a network locator; a source mob (4) without
/// descriptor; a source mob (5) with a PCM descriptor without locators.
TestAaf SampleAaf() {
    TestAaf aaf;
    Storage& master = aaf.AddMob(0, TestMobID(1), ClassAuid(ClassId::kMasterMob),
                                 MobProperties(1, {{0x4402, 0x82, Utf16z(u"Master")},
                                                   {0x4403, 0x32, Utf16z(u"Slots-4403")}}));
    master.streams["Slots-4403 index"] = VectorIndex({0, 1, 2});
    const std::uint32_t slotIds[] = {7, 3, 7};
    for (std::uint32_t i = 0; i < 3; ++i) {
        Storage& slot =
            master.Object("Slots-4403{" + std::to_string(i) + "}",
                          ClassAuid(i == 1 ? ClassId::kEventMobSlot : ClassId::kTimelineMobSlot),
                          PropertiesStream({{0x4801, 0x82, U32(slotIds[i])},
                                            {0x4802, 0x82, Utf16z(i == 0 ? u"first" : u"other")},
                                            {0x4B01, 0x82, Hex("19 00 00 00 01 00 00 00")},
                                            {0x4901, 0x82, Hex("32 00 00 00 01 00 00 00")},
                                            {0x4803, 0x22, Utf16z(u"Segment-4803")}}));
        if (i == 0) {
            // A transition stands where a segment should: only a Component, not a Segment.
            slot.Object("Segment-4803", ClassAuid(ClassId::kTimecode),
                        PropertiesStream({{0x1501, 0x82, I64(90000)},
                                          {0x1502, 0x82, U16(25)},
                                          {0x1503, 0x82, Hex("02")},
                                          {0x0202, 0x82, I64(100)}}));
        } else {
            slot.Object("Segment-4803", ClassAuid(ClassId::kTransition),
                        PropertiesStream({{0x1802, 0x82, I64(5)}}));
        }
    }
    aaf.AddMob(1, TestMobID(2), ClassAuid(ClassId::kCompositionMob), MobProperties(2));
    Storage& source =
        aaf.AddMob(2, TestMobID(3), ClassAuid(ClassId::kSourceMob),
                   MobProperties(3, {{0x4701, 0x22, Utf16z(u"EssenceDescription-4701")}}));
    Bytes summary = Hex("52 49 46 46 24 00 00 00 57 41 56 45 66 6d 74 20 10 00 00 00 01 00 02 00");
    summary.resize(44);
    Storage& wave = source.Object(
        "EssenceDescription-4701", ClassAuid(ClassId::kWAVEDescriptor),
        PropertiesStream({{0x3801, 0x82, summary}, {0x2F01, 0x32, Utf16z(u"Locator-2f01")}}));
    wave.streams["Locator-2f01 index"] = VectorIndex({0, 1});
    wave.Object("Locator-2f01{0}", ClassAuid(ClassId::kTextLocator),
                PropertiesStream({{0x4101, 0x82, Utf16z(u"a note")}}));
    wave.Object("Locator-2f01{1}", ClassAuid(ClassId::kNetworkLocator),
                PropertiesStream({{0x4001, 0x82, Utf16z(u"file:///media/a%20b.wav")}}));
    aaf.AddMob(3, TestMobID(4), ClassAuid(ClassId::kSourceMob), MobProperties(4));
    Storage& pcmMob =
        aaf.AddMob(4, TestMobID(5), ClassAuid(ClassId::kSourceMob),
                   MobProperties(5, {{0x4701, 0x22, Utf16z(u"EssenceDescription-4701")}}));
    pcmMob.Object("EssenceDescription-4701", ClassAuid(ClassId::kPCMDescriptor),
                  PropertiesStream({}));
    return aaf;
}

// The sample written to a file of the temporary folder, for tests of files opened by path.
std::filesystem::path WriteSampleFile(const char* name) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::ofstream out(path, std::ios::binary);
    const std::string bytes = SampleAaf().FileBytes();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(SdkBehaviour, NamesAndAbsentProperties) {
    auto file = SampleAaf().Open();
    std::string name = "untouched";
    EXPECT_EQ(Mob(file, 2)->GetName(name), AAFRESULT_PROP_NOT_PRESENT);
    EXPECT_EQ(name, "untouched");
    aafNumSlots_t count = 99;
    EXPECT_EQ(Mob(file, 2)->CountSlots(count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 0u);
    std::shared_ptr<IAAFMobSlot> slot;
    EXPECT_EQ(Mob(file, 2)->GetSlotAt(0, slot), AAFRESULT_BADINDEX);
    EXPECT_EQ(Mob(file, 1)->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "Master");

    std::shared_ptr<IAAFSegment> segment;
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(0, slot), AAFRESULT_SUCCESS);
    aafUInt32 physical = 42;
    EXPECT_EQ(slot->GetPhysicalNum(physical), AAFRESULT_PROP_NOT_PRESENT);
    EXPECT_EQ(physical, 42u);
    ASSERT_EQ(slot->GetSegment(segment), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFDataDef> dataDef;
    EXPECT_EQ(slot->GetDataDef(dataDef), AAFRESULT_PROP_NOT_PRESENT);  // no DataDefinition
}

// Mobs are found by id among thousands (ids that differ in one byte only, as a writer counting
// them makes), ids not in the file are not, and of two mobs with one id the first listed wins.
TEST(SdkBehaviour, LookupMobAmongThousands) {
    TestAaf aaf;
    const aafUID_t master = GetClassInfo(ClassId::kMasterMob).auid;
    const std::uint32_t count = 3000;
    for (std::uint32_t n = 0; n < count; ++n) {
        const aafMobID_t id = TestMobID(2 * n);
        const std::string name = "mob " + std::to_string(n);
        aaf.AddMob(
            n, id, master,
            PropertiesStream({{0x4401, 0x82, MobIDBytes(id)},
                              {0x4402, 0x82, Utf16z(std::u16string(name.begin(), name.end()))}}));
    }
    const aafMobID_t twice = TestMobID(2);
    aaf.AddMob(
        count, twice, master,
        PropertiesStream({{0x4401, 0x82, MobIDBytes(twice)}, {0x4402, 0x82, Utf16z(u"late")}}));
    auto file = aaf.Open();
    const auto header = HeaderOf(file);
    for (std::uint32_t n = 0; n < count; ++n) {
        std::shared_ptr<IAAFMob> mob;
        ASSERT_EQ(header->LookupMob(TestMobID(2 * n), mob), AAFRESULT_SUCCESS) << n;
        std::string name;
        ASSERT_EQ(mob->GetName(name), AAFRESULT_SUCCESS);
        EXPECT_EQ(name, "mob " + std::to_string(n));
        EXPECT_EQ(header->LookupMob(TestMobID(2 * n + 1), mob), AAFRESULT_MOB_NOT_FOUND) << n;
    }
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(header->LookupMob(aafMobID_t{}, mob), AAFRESULT_MOB_NOT_FOUND);
}

TEST(SdkBehaviour, LookupSlotTakesTheFirstMatch) {
    auto file = SampleAaf().Open();
    std::shared_ptr<IAAFMobSlot> slot;
    ASSERT_EQ(Mob(file, 1)->LookupSlot(7, slot), AAFRESULT_SUCCESS);
    std::string name;
    slot->GetName(name);
    EXPECT_EQ(name, "first");
    EXPECT_EQ(Mob(file, 1)->LookupSlot(4, slot), AAFRESULT_SLOT_NOT_FOUND);
}

TEST(SdkBehaviour, OnlyTimelineSlotsHaveTheTimelineEditRate) {
    auto file = SampleAaf().Open();
    std::shared_ptr<IAAFMobSlot> slot;
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    std::shared_ptr<IAAFEventMobSlot> event;
    aafRational_t rate{};
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(0, slot), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(slot, timeline), AAFRESULT_SUCCESS);
    timeline->GetEditRate(rate);
    EXPECT_EQ(rate, (aafRational_t{25, 1}));
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(1, slot), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(slot, timeline), AAFRESULT_NO_INTERFACE);
    ASSERT_EQ(QueryInterface(slot, event), AAFRESULT_SUCCESS);
    event->GetEditRate(rate);
    EXPECT_EQ(rate, (aafRational_t{50, 1}));
}

TEST(SdkBehaviour, TimecodeDropOnlyForAStoredOne) {
    auto file = SampleAaf().Open();
    std::shared_ptr<IAAFMobSlot> slot;
    std::shared_ptr<IAAFSegment> segment;
    std::shared_ptr<IAAFTimecode> timecode;
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(0, slot), AAFRESULT_SUCCESS);
    ASSERT_EQ(slot->GetSegment(segment), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(segment, timecode), AAFRESULT_SUCCESS);
    aafTimecode_t value{};
    ASSERT_EQ(timecode->GetTimecode(value), AAFRESULT_SUCCESS);
    EXPECT_EQ(value.startFrame, 90000);
    EXPECT_EQ(value.fps, 25);
    EXPECT_EQ(value.drop, kAAFTcNonDrop);  // stored 2
}

TEST(SdkBehaviour, ATransitionIsAComponentButNotASegment) {
    auto file = SampleAaf().Open();
    std::shared_ptr<IAAFMobSlot> slot;
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(1, slot), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFSegment> segment;
    // The model wants a Segment there; a Transition in its place is a damaged file.
    EXPECT_EQ(slot->GetSegment(segment), AAFRESULT_CORRUPT_OBJECT);
    std::shared_ptr<IAAFObject> object =
        std::make_shared<IAAFObject>(Mob(file, 1)->Node());  // any object
    std::shared_ptr<IAAFComponent> component;
    EXPECT_EQ(QueryInterface(object, component), AAFRESULT_NO_INTERFACE);
}

TEST(SdkBehaviour, DescriptorsAndLocators) {
    auto file = SampleAaf().Open();
    std::shared_ptr<IAAFSourceMob> source;
    std::shared_ptr<IAAFEssenceDescriptor> descriptor;
    ASSERT_EQ(QueryInterface(Mob(file, 3), source), AAFRESULT_SUCCESS);
    ASSERT_EQ(source->GetEssenceDescriptor(descriptor), AAFRESULT_SUCCESS);

    std::shared_ptr<IAAFLocator> locator;
    std::string path = "untouched";
    ASSERT_EQ(descriptor->GetLocatorAt(0, locator), AAFRESULT_SUCCESS);
    EXPECT_EQ(locator->GetPath(path), AAFRESULT_ABSTRACT_CLASS);  // a TextLocator
    EXPECT_EQ(path, "untouched");
    std::shared_ptr<IAAFTextLocator> text;
    ASSERT_EQ(QueryInterface(locator, text), AAFRESULT_SUCCESS);
    EXPECT_EQ(text->GetName(path), AAFRESULT_SUCCESS);
    EXPECT_EQ(path, "a note");
    ASSERT_EQ(descriptor->GetLocatorAt(1, locator), AAFRESULT_SUCCESS);
    EXPECT_EQ(locator->GetPath(path), AAFRESULT_SUCCESS);
    EXPECT_EQ(path, "file:///media/a%20b.wav");
    EXPECT_EQ(descriptor->GetLocatorAt(2, locator), AAFRESULT_BADINDEX);

    std::shared_ptr<IAAFWAVEDescriptor> wave;
    ASSERT_EQ(QueryInterface(descriptor, wave), AAFRESULT_SUCCESS);
    aafUInt32 size = 0;
    ASSERT_EQ(wave->GetSummaryBufferSize(size), AAFRESULT_SUCCESS);
    EXPECT_EQ(size, 44u);
    std::vector<aafUInt8> summary(size);
    ASSERT_EQ(wave->GetSummary(summary), AAFRESULT_SUCCESS);
    EXPECT_EQ(summary[22], 2);  // channels
    std::vector<aafUInt8> small(size - 1);
    EXPECT_EQ(wave->GetSummary(small), AAFRESULT_SMALLBUF);

    // A source mob without a descriptor: success, output untouched.
    std::shared_ptr<IAAFEssenceDescriptor> none;
    ASSERT_EQ(QueryInterface(Mob(file, 4), source), AAFRESULT_SUCCESS);
    EXPECT_EQ(source->GetEssenceDescriptor(none), AAFRESULT_SUCCESS);
    EXPECT_FALSE(none);

    // A PCM descriptor is a sound descriptor, not a WAVE descriptor; it has no locators.
    ASSERT_EQ(QueryInterface(Mob(file, 5), source), AAFRESULT_SUCCESS);
    ASSERT_EQ(source->GetEssenceDescriptor(descriptor), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(descriptor, wave), AAFRESULT_NO_INTERFACE);
    EXPECT_EQ(descriptor->GetLocatorAt(0, locator), AAFRESULT_BADINDEX);

    aafNumSlots_t count = 0;
    EXPECT_EQ(HeaderOf(file)->CountMobs(kAAFFileMob, count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 2u);  // the WAVE and the PCM source mobs
}

TEST(SdkBehaviour, BigEndianObjectsAreReadInTheirOwnOrder) {
    TestAaf aaf;
    Storage& mob = aaf.AddMob(0, TestMobID(1), ClassAuid(ClassId::kCompositionMob),
                              MobProperties(1, {{0x4403, 0x32, Utf16z(u"Slots-4403")}}));
    mob.streams["Slots-4403 index"] = VectorIndex({0});
    // A 'B' properties stream: SlotID 9, EditRate 30000/1001, name "Ab" in UTF-16BE.
    mob.Object("Slots-4403{0}", ClassAuid(ClassId::kTimelineMobSlot), Hex(R"(
        42 20 00 03 48 01 00 82 00 04 4b 01 00 82 00 08 48 02 00 82 00 06
        00 00 00 09 00 00 75 30 00 00 03 e9 00 41 00 62 00 00)"));
    auto file = aaf.Open();
    std::shared_ptr<IAAFMobSlot> slot;
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    ASSERT_EQ(Mob(file, 1)->GetSlotAt(0, slot), AAFRESULT_SUCCESS);
    aafSlotID_t id = 0;
    EXPECT_EQ(slot->GetSlotID(id), AAFRESULT_SUCCESS);
    EXPECT_EQ(id, 9u);
    std::string name;
    EXPECT_EQ(slot->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "Ab");
    ASSERT_EQ(QueryInterface(slot, timeline), AAFRESULT_SUCCESS);
    aafRational_t rate{};
    timeline->GetEditRate(rate);
    EXPECT_EQ(rate, (aafRational_t{30000, 1001}));
}

TEST(SdkBehaviour, BothSectorSizesGiveTheSameObjects) {
    const TestAaf aaf = SampleAaf();
    for (std::uint32_t sectorSize : {512u, 4096u}) {
        auto file = aaf.Open(sectorSize);
        EXPECT_EQ(file->Container().SectorSize(), sectorSize);
        std::string name;
        Mob(file, 1)->GetName(name);
        EXPECT_EQ(name, "Master");
    }
}

TEST(SdkBehaviour, ClosingEndsTheFileButNotTheObjectsHeld) {
    const std::filesystem::path path = WriteSampleFile("tessel_aaf_close_test.aaf");
    std::shared_ptr<IAAFFile> file;
    ASSERT_EQ(AAFFileOpenExistingRead(path.string(), 0, file), AAFRESULT_SUCCESS);
    EXPECT_EQ(AafLastOpenError(), "");
    std::shared_ptr<IAAFHeader> header;
    ASSERT_EQ(file->GetHeader(header), AAFRESULT_SUCCESS);
    EXPECT_EQ(file->Close(), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFHeader> again;
    EXPECT_EQ(file->GetHeader(again), AAFRESULT_FILE_CLOSED);
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(header->LookupMob(TestMobID(1), mob), AAFRESULT_SUCCESS);
    std::filesystem::remove(path);
}

TEST(SdkBehaviour, AMappedFileReadsTheSameAfterItsPagesAreGivenBack) {
    const std::filesystem::path path = WriteSampleFile("tessel_aaf_release_test.aaf");
    std::shared_ptr<IAAFFile> file;
    ASSERT_EQ(AAFFileOpenExistingRead(path.string(), 0, file), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFHeader> header;
    ASSERT_EQ(file->GetHeader(header), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFMob> mob;
    ASSERT_EQ(header->LookupMob(TestMobID(1), mob), AAFRESULT_SUCCESS);
    // Objects read before and after the pages went answer from the file as before.
    EXPECT_EQ(file->ReleaseResidentPages(), AAFRESULT_SUCCESS);
    std::string name;
    EXPECT_EQ(mob->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "Master");
    std::shared_ptr<IAAFMob> again;
    ASSERT_EQ(header->LookupMob(TestMobID(1), again), AAFRESULT_SUCCESS);
    aafNumSlots_t slots = 0;
    EXPECT_EQ(again->CountSlots(slots), AAFRESULT_SUCCESS);
    EXPECT_GT(slots, 0U);
    EXPECT_EQ(file->Close(), AAFRESULT_SUCCESS);
    EXPECT_EQ(file->ReleaseResidentPages(), AAFRESULT_FILE_CLOSED);
    std::filesystem::remove(path);
}

// Samples: the enumeration order and values given for files A, B, C and D.
TEST(SdkBehaviourOnSamples, CompositionOrderOfFilesAAndB) {
    const std::filesystem::path shared = SharedDir();
    if (shared.empty()) {
        GTEST_SKIP() << "shared test data not present";
    }
    auto names = [](const std::filesystem::path& path) {
        std::vector<std::string> result;
        std::shared_ptr<IAAFFile> file;
        std::shared_ptr<IAAFHeader> header;
        std::shared_ptr<IEnumAAFMobs> mobs;
        std::shared_ptr<IAAFMob> mob;
        EXPECT_EQ(AAFFileOpenExistingRead(path.string(), 0, file), AAFRESULT_SUCCESS);
        file->GetHeader(header);
        aafSearchCrit_t criteria{};
        criteria.searchTag = kAAFByMobKind;
        criteria.tags.mobKind = kAAFCompMob;
        header->GetMobs(&criteria, mobs);
        while (AAFRESULT_SUCCEEDED(mobs->NextOne(mob))) {
            std::string name;
            mob->GetName(name);
            const std::string storage = mob->Node()->File().Container().Name(mob->Node()->Entry());
            result.push_back(name.substr(name.find('(') == std::string::npos ? 0 : name.find('(')) +
                             " " + storage.substr(storage.find('{')));
        }
        return result;
    };
    EXPECT_EQ(names(shared / "aaf/samples/A_premiere_multiple_top_level_mobs.aaf"),
              (std::vector<std::string>{"nestTest2 {f}", "testNest30_2 {10}"}));
    EXPECT_EQ(names(shared / "aaf/samples/B_avid_linear_speed_effects.aaf"),
              (std::vector<std::string>{
                  "(24.00 FPS) {3f}",  "(18.00 FPS) {3}",  "(12.00 FPS) {41}",
                  "(96.00 FPS) {27}",  "(48.00 FPS) {42}", "(8.00 FPS) {33}",
                  "(32.00 FPS) {a}",   "(24.00 FPS) {1b}", "(6.00 FPS) {31}",
                  "(120.00 FPS) {1c}", "(60.00 FPS) {3e}", "(40.00 FPS) {2}",
                  "(30.00 FPS) {1a}",  "(48.00 FPS) {40}", "OTIO_Speed_Effects_4x5.Exported.01 {1}",
                  "(24.00 FPS) {37}",  "(16.00 FPS) {0}",  "(12.00 FPS) {2e}",
                  "(72.00 FPS) {11}",  "(36.00 FPS) {26}"}));
}

TEST(SdkBehaviourOnSamples, DescriptorsOfFilesCAndD) {
    const std::filesystem::path shared = SharedDir();
    if (shared.empty()) {
        GTEST_SKIP() << "shared test data not present";
    }
    auto descriptor = [](const std::filesystem::path& path, const char* storage) {
        std::shared_ptr<AafFile> file;
        EXPECT_TRUE(AafFile::Open(path.string(), file).ok());
        const CompoundFile& container = file->Container();
        CompoundFile::EntryId entry = CompoundFile::kRoot;
        std::string rest = storage;
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            entry = container.FindChild(entry, std::string_view(rest).substr(0, slash));
            rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
        }
        NodePtr node;
        EXPECT_TRUE(file->LoadObject(entry, node).ok());
        return std::make_shared<IAAFEssenceDescriptor>(node);
    };
    auto wave = descriptor(shared / "aaf/samples/C_protools_sector_size_512.aaf",
                           "Header-2/Content-3b03/Mobs-1901{1}/EssenceDescription-4701");
    std::shared_ptr<IAAFWAVEDescriptor> asWave;
    ASSERT_EQ(QueryInterface(wave, asWave), AAFRESULT_SUCCESS);
    aafUInt32 size = 0;
    asWave->GetSummaryBufferSize(size);
    EXPECT_EQ(size, 4096u);
    std::shared_ptr<IAAFLocator> locator;
    std::string path;
    ASSERT_EQ(wave->GetLocatorAt(0, locator), AAFRESULT_SUCCESS);
    EXPECT_EQ(locator->GetPath(path), AAFRESULT_SUCCESS);
    EXPECT_EQ(path,
              "file:///mix_stripe1/Sessions/aaf_2trks_4clips/Audio%20Files/Track1-SigGen_01.wav");

    auto cdci = descriptor(shared / "aaf/samples/D_aafsdk_ExportDV_NoCodecDef.aaf",
                           "Header-2/Content-3b03/Mobs-1901{1}/EssenceDescription-4701");
    std::shared_ptr<IAAFDigitalImageDescriptor> picture;
    ASSERT_EQ(QueryInterface(cdci, picture), AAFRESULT_SUCCESS);
    aafUInt32 height = 0;
    aafUInt32 width = 0;
    picture->GetStoredView(height, width);
    EXPECT_EQ(height, 288u);
    EXPECT_EQ(width, 720u);
    aafRational_t aspect{};
    picture->GetImageAspectRatio(aspect);
    EXPECT_EQ(aspect, (aafRational_t{4, 3}));
    aafInt32 map[2] = {-1, -1};
    ASSERT_EQ(picture->GetVideoLineMap(map), AAFRESULT_SUCCESS);
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[1], 1);
    EXPECT_EQ(wave->GetLocatorAt(1, locator), AAFRESULT_BADINDEX);
    EXPECT_EQ(cdci->GetLocatorAt(0, locator), AAFRESULT_BADINDEX);  // no Locator property
}

}  // namespace
}  // namespace tessel::aaf::test
