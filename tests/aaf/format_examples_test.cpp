// The worked examples of the AAF format notes, byte for byte, read through the public interfaces.

#include <gtest/gtest.h>

#include "aaf/AAF.h"
#include "aaf/class_table.h"
#include "aaf/object_node.h"
#include "test_aaf.h"

namespace tessel::aaf::test {
namespace {

/// A composition mob "Comp" with one slot whose storage is filled by the caller.
Storage& AddComposition(TestAaf& aaf, std::uint32_t key, const aafMobID_t& id,
                        std::vector<std::uint32_t> slotKeys) {
    Storage& mob = aaf.AddMob(key, id, ClassAuid(ClassId::kCompositionMob),
                              PropertiesStream({{0x4401, 0x82, MobIDBytes(id)},
                                                {0x4402, 0x82, Utf16z(u"Comp")},
                                                {0x4403, 0x32, Utf16z(u"Slots-4403")}}));
    mob.streams["Slots-4403 index"] = VectorIndex(slotKeys);
    return mob;
}

/// A composition whose one slot holds an operation group with a Parameters set; the caller
/// fills the set's index and elements. Returns the group's storage.
Storage& AddOperationGroupSlot(TestAaf& aaf) {
    Storage& mob = AddComposition(aaf, 0, TestMobID(1), {0});
    Storage& slot = mob.Object("Slots-4403{0}", ClassAuid(ClassId::kTimelineMobSlot),
                               PropertiesStream({{0x4803, 0x22, Utf16z(u"Segment-4803")}}));
    return slot.Object("Segment-4803", ClassAuid(ClassId::kOperationGroup),
                       PropertiesStream({{0x0B03, 0x3A, Utf16z(u"Parameters-b03")}}));
}

std::shared_ptr<IAAFMob> FirstComposition(const std::shared_ptr<AafFile>& file) {
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    EXPECT_EQ(HeaderOf(file)->GetMobs(&criteria, mobs), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(mobs->NextOne(mob), AAFRESULT_SUCCESS);
    return mob;
}

/// The segment of the first composition's first slot, as the interface `T`.
template <typename T>
std::shared_ptr<T> FirstSegmentAs(const std::shared_ptr<AafFile>& file) {
    std::shared_ptr<IAAFMobSlot> mobSlot;
    std::shared_ptr<IAAFSegment> segment;
    std::shared_ptr<T> result;
    EXPECT_EQ(FirstComposition(file)->GetSlotAt(0, mobSlot), AAFRESULT_SUCCESS);
    EXPECT_EQ(mobSlot->GetSegment(segment), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(segment, result), AAFRESULT_SUCCESS);
    return result;
}

// The root properties stream of file B: MetaDictionary-1 and Header-2.
TEST(FormatExamples, RootPropertiesLeadToTheHeader) {
    TestAaf aaf;
    aaf.Root().streams["properties"] = Hex(R"(
        4c 20 02 00 01 00 22 00 22 00 02 00 22 00 12 00
        4d 00 65 00 74 00 61 00 44 00 69 00 63 00 74 00
        69 00 6f 00 6e 00 61 00 72 00 79 00 2d 00 31 00
        00 00 48 00 65 00 61 00 64 00 65 00 72 00 2d 00
        32 00 00 00)");
    for (std::uint32_t sectorSize : {512u, 4096u}) {
        auto file = aaf.Open(sectorSize);
        NodePtr header;
        ASSERT_TRUE(file->LoadHeader(header).ok());
        EXPECT_EQ(header->Class(), ClassId::kHeader);
        eAAFByteOrder_t order = kAAFByteOrderBig;
        IAAFEndian endian(header);
        endian.GetStoredByteOrder(order);
        EXPECT_EQ(order, kAAFByteOrderLittle);
        endian.GetNativeByteOrder(order);
        EXPECT_EQ(order, kAAFByteOrderLittle);  // the host's, never the file's
    }
}

// A TimelineMobSlot (file A) whose segment is a Sequence with a weak reference to Sound.
TEST(FormatExamples, TimelineSlotAndSequence) {
    TestAaf aaf;
    Storage& mob = AddComposition(aaf, 0xf, TestMobID(1), {1});
    Storage& slot = mob.Object("Slots-4403{1}", ClassAuid(ClassId::kTimelineMobSlot), Hex(R"(
        4c 20 06 00 02 4b 82 00 08 00 01 4b 82 00 08 00
        03 48 22 00 1a 00 04 48 82 00 04 00 01 48 82 00
        04 00 02 48 82 00 10 00 00 00 00 00 00 00 00 00
        30 75 00 00 e9 03 00 00 53 00 65 00 67 00 6d 00
        65 00 6e 00 74 00 2d 00 34 00 38 00 30 00 33 00
        00 00 01 00 00 00 02 00 00 00 41 00 75 00 64 00
        69 00 6f 00 20 00 31 00 00 00)"));
    Storage& sequence = slot.Object("Segment-4803", ClassAuid(ClassId::kSequence), Hex(R"(
        4c 20 03 00 01 10 32 00 20 00 02 02 82 00 08 00
        01 02 02 00 15 00 43 00 6f 00 6d 00 70 00 6f 00
        6e 00 65 00 6e 00 74 00 73 00 2d 00 31 00 30 00
        30 00 31 00 00 00 a1 00 00 00 00 00 00 00 02 00
        01 1b 10 02 02 03 01 00 02 00 00 06 0e 2b 34 04
        01 01 01)"));
    sequence.streams["Components-1001 index"] =
        Hex("02 00 00 00 02 00 00 00 ff ff ff ff 00 00 00 00 01 00 00 00");
    sequence.Object("Components-1001{0}", ClassAuid(ClassId::kFiller),
                    PropertiesStream({{0x0202, 0x82, I64(10)}}));
    sequence.Object("Components-1001{1}", ClassAuid(ClassId::kOperationGroup),
                    PropertiesStream({{0x0202, 0x82, I64(151)}}));
    auto file = aaf.Open();

    std::shared_ptr<IAAFMobSlot> mobSlot;
    ASSERT_EQ(FirstComposition(file)->GetSlotAt(0, mobSlot), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    ASSERT_EQ(QueryInterface(mobSlot, timeline), AAFRESULT_SUCCESS);
    aafRational_t rate{};
    ASSERT_EQ(timeline->GetEditRate(rate), AAFRESULT_SUCCESS);
    EXPECT_EQ(rate, (aafRational_t{30000, 1001}));
    aafUInt32 number = 0;
    EXPECT_EQ(mobSlot->GetPhysicalNum(number), AAFRESULT_SUCCESS);
    EXPECT_EQ(number, 1u);
    EXPECT_EQ(mobSlot->GetSlotID(number), AAFRESULT_SUCCESS);
    EXPECT_EQ(number, 2u);
    std::string name;
    EXPECT_EQ(mobSlot->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "Audio 1");

    std::shared_ptr<IAAFDataDef> dataDef;
    ASSERT_EQ(mobSlot->GetDataDef(dataDef), AAFRESULT_SUCCESS);
    aafBoolean_t sound = kAAFFalse;
    aafBoolean_t picture = kAAFTrue;
    dataDef->IsSoundKind(sound);
    dataDef->IsPictureKind(picture);
    EXPECT_TRUE(sound);
    EXPECT_FALSE(picture);

    std::shared_ptr<IAAFSegment> segment;
    std::shared_ptr<IAAFSequence> asSequence;
    ASSERT_EQ(mobSlot->GetSegment(segment), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(segment, asSequence), AAFRESULT_SUCCESS);
    aafLength_t length = 0;
    EXPECT_EQ(asSequence->GetLength(length), AAFRESULT_SUCCESS);
    EXPECT_EQ(length, 161);
    aafUInt32 count = 0;
    EXPECT_EQ(asSequence->CountComponents(count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 2u);
    std::shared_ptr<IAAFComponent> component;
    std::shared_ptr<IAAFFiller> filler;
    std::shared_ptr<IAAFOperationGroup> group;
    ASSERT_EQ(asSequence->GetComponentAt(0, component), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(component, filler), AAFRESULT_SUCCESS);
    ASSERT_EQ(asSequence->GetComponentAt(1, component), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(component, group), AAFRESULT_SUCCESS);
    EXPECT_EQ(asSequence->GetComponentAt(2, component), AAFRESULT_BADINDEX);
    EXPECT_EQ(group->CountSourceSegments(count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 0u);  // no InputSegments property
}

// A SourceClip (file A) and the mob its SourceID names.
TEST(FormatExamples, SourceClipReferenceFindsItsMob) {
    TestAaf aaf;
    Storage& mob = AddComposition(aaf, 0x10, TestMobID(1), {0});
    Storage& slot = mob.Object(
        "Slots-4403{0}", ClassAuid(ClassId::kTimelineMobSlot),
        PropertiesStream({{0x4801, 0x82, U32(1)}, {0x4803, 0x22, Utf16z(u"Segment-4803")}}));
    slot.Object("Segment-4803", ClassAuid(ClassId::kSourceClip), Hex(R"(
        4c 20 05 00 01 12 82 00 08 00 02 11 82 00 04 00
        01 11 82 00 20 00 02 02 82 00 08 00 01 02 02 00
        15 00 4a 00 00 00 00 00 00 00 01 00 00 00 06 0a
        2b 34 01 01 01 05 01 01 0d 11 13 00 00 00 04 e0
        42 b0 85 52 94 05 74 21 7c d1 c3 74 a1 c2 0b 00
        00 00 00 00 00 00 02 00 01 1b 10 02 02 03 01 00
        01 00 00 06 0e 2b 34 04 01 01 01)"));
    const Bytes masterId =
        Hex("06 0a 2b 34 01 01 01 05 01 01 0d 11 13 00 00 00 "
            "04 e0 42 b0 85 52 94 05 74 21 7c d1 c3 74 a1 c2");
    const aafMobID_t id = DecodeMobID(masterId.data(), ByteOrder{});
    aaf.AddMob(5, id, ClassAuid(ClassId::kMasterMob),
               PropertiesStream({{0x4401, 0x82, masterId},
                                 {0x4402, 0x82, Utf16z(u"TestMXF_F\u00fcnnyCh\u00e5rs\u00e9")}}));
    auto file = aaf.Open();

    const auto clip = FirstSegmentAs<IAAFSourceClip>(file);
    ASSERT_TRUE(clip);
    aafSourceRef_t source{};
    ASSERT_EQ(clip->GetSourceReference(source), AAFRESULT_SUCCESS);
    EXPECT_EQ(source.startTime, 74);
    EXPECT_EQ(source.sourceSlotID, 1u);
    EXPECT_EQ(source.sourceID.material.Data1, 0xB042E004u);
    EXPECT_TRUE(source.sourceID == id);
    aafLength_t length = 0;
    clip->GetLength(length);
    EXPECT_EQ(length, 11);
    std::shared_ptr<IAAFDataDef> dataDef;
    aafBoolean_t picture = kAAFFalse;
    ASSERT_EQ(clip->GetDataDef(dataDef), AAFRESULT_SUCCESS);
    dataDef->IsPictureKind(picture);
    EXPECT_TRUE(picture);

    std::shared_ptr<IAAFMob> master;
    ASSERT_EQ(HeaderOf(file)->LookupMob(source.sourceID, master), AAFRESULT_SUCCESS);
    std::string name;
    EXPECT_EQ(master->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "TestMXF_F\xc3\xbcnnyCh\xc3\xa5rs\xc3\xa9");
    EXPECT_EQ(HeaderOf(file)->LookupMob(aafMobID_t{}, master), AAFRESULT_MOB_NOT_FOUND);
}

// An OperationGroup's Parameters set (file B): enumeration follows the stored key bytes, and
// the SpeedRatio ConstantValue holds the Rational 3/2.
TEST(FormatExamples, ParametersInKeyOrderAndARationalSpeed) {
    TestAaf aaf;
    Storage& group = AddOperationGroupSlot(aaf);
    const Bytes index = Hex(R"(
        07 00 00 00 07 00 00 00 ff ff ff ff 01 1b 10 06
        00 00 00 01 00 00 00 29 ed ff f7 8e fc ed 43 94
        3a 4b 57 b5 c1 57 ee 05 00 00 00 01 00 00 00 39
        18 de 8d 62 68 74 48 a1 e9 4f bd 11 64 f2 2a 00
        00 00 00 01 00 00 00 71 ff 22 5b 1b c5 d3 11 a0
        69 00 60 94 eb 75 cb 02 00 00 00 01 00 00 00 7c
        82 56 8d 7e 84 d5 11 93 5a 50 f8 57 c1 00 00 03
        00 00 00 01 00 00 00 7d 82 56 8d 7e 84 d5 11 93
        5a 50 f8 57 c1 00 00 01 00 00 00 01 00 00 00 80
        9a 55 72 d7 24 d3 11 8a 50 00 50 04 0e f7 d2 04
        00 00 00 01 00 00 00 d5 02 5a 1c 03 e5 a6 4c 86
        17 d7 91 4b b8 ac 03)");
    group.streams["Parameters-b03 index"] = index;
    // Elements: the keys' own definitions; element {1} is the worked ConstantValue.
    std::vector<std::uint8_t> firstBytes;
    for (std::size_t i = 0; i < 7; ++i) {
        const std::size_t at = 15 + i * 24;
        const std::uint32_t key = index[at];
        const Bytes definition(index.begin() + static_cast<std::ptrdiff_t>(at + 8),
                               index.begin() + static_cast<std::ptrdiff_t>(at + 24));
        firstBytes.push_back(definition[0]);
        if (key == 1) {
            continue;
        }
        const bool varying = key == 2 || key == 3;
        group.Object("Parameters-b03{" + std::to_string(key) + "}",
                     ClassAuid(varying ? ClassId::kVaryingValue : ClassId::kConstantValue),
                     PropertiesStream({{0x4C01, 0x82, definition}}));
    }
    group.Object("Parameters-b03{1}", ClassAuid(ClassId::kConstantValue), Hex(R"(
        4c 20 02 00 01 4d 82 00 19 00 01 4c 82 00 10 00
        4c 00 01 01 03 00 00 00 00 06 0e 2b 34 01 04 01
        01 03 00 00 00 02 00 00 00 80 9a 55 72 d7 24 d3
        11 8a 50 00 50 04 0e f7 d2)"));
    auto file = aaf.Open();

    const auto operationGroup = FirstSegmentAs<IAAFOperationGroup>(file);
    ASSERT_TRUE(operationGroup);
    std::shared_ptr<IEnumAAFParameters> parameters;
    ASSERT_EQ(operationGroup->GetParameters(parameters), AAFRESULT_SUCCESS);
    std::vector<std::uint8_t> order;
    std::shared_ptr<IAAFParameter> parameter;
    std::shared_ptr<IAAFConstantValue> speed;
    while (AAFRESULT_SUCCEEDED(parameters->NextOne(parameter))) {
        aafUID_t definition{};
        ASSERT_EQ(parameter->Node()->ReadAUID(0x4C01, definition), AAFRESULT_SUCCESS);
        order.push_back(static_cast<std::uint8_t>(definition.Data1 & 0xFF));
        if (definition == kAAFParameterDef_SpeedRatio) {
            ASSERT_EQ(QueryInterface(parameter, speed), AAFRESULT_SUCCESS);
        }
    }
    EXPECT_EQ(order, (std::vector<std::uint8_t>{0x29, 0x39, 0x71, 0x7c, 0x7d, 0x80, 0xd5}));
    EXPECT_EQ(order, firstBytes);
    ASSERT_TRUE(speed);

    // The dictionary lacks the definition: the SDK answers NO_MORE_OBJECTS.
    std::shared_ptr<IAAFParameterDef> definition;
    EXPECT_EQ(speed->GetParameterDefinition(definition), AAFRESULT_NO_MORE_OBJECTS);

    std::shared_ptr<IAAFTypeDef> type;
    std::shared_ptr<IAAFMetaDefinition> meta;
    aafUID_t typeId{};
    ASSERT_EQ(speed->GetTypeDefinition(type), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(type, meta), AAFRESULT_SUCCESS);
    ASSERT_EQ(meta->GetAUID(typeId), AAFRESULT_SUCCESS);
    EXPECT_TRUE(typeId == kAAFTypeID_Rational);
    aafUInt32 length = 0;
    EXPECT_EQ(speed->GetValueBufLen(length), AAFRESULT_SUCCESS);
    EXPECT_EQ(length, 8u);

    aafInt32 ratio[2] = {0, 0};
    aafUInt32 bytesRead = 0;
    ASSERT_EQ(speed->GetValue(std::span(reinterpret_cast<aafUInt8*>(ratio), 8), bytesRead),
              AAFRESULT_SUCCESS);
    EXPECT_EQ(ratio[0], 3);
    EXPECT_EQ(ratio[1], 2);
    EXPECT_EQ(bytesRead, 8u);
    aafUInt8 big[16] = {};
    ASSERT_EQ(speed->GetValue(big, bytesRead), AAFRESULT_SUCCESS);
    EXPECT_EQ(bytesRead, 16u);  // the caller's size, as the SDK reports it
    aafUInt8 small[4] = {};
    EXPECT_EQ(speed->GetValue(small, bytesRead), AAFRESULT_SMALLBUF);
}

TEST(FormatExamples, ParameterDefinitionFromTheDictionary) {
    TestAaf aaf;
    Storage& group = AddOperationGroupSlot(aaf);
    Bytes index = Hex("01 00 00 00 01 00 00 00 ff ff ff ff 01 1b 10 00 00 00 00 01 00 00 00");
    const Bytes speedKey = AuidBytes(kAAFParameterDef_SpeedRatio);
    index.insert(index.end(), speedKey.begin(), speedKey.end());
    group.streams["Parameters-b03 index"] = index;
    group.Object("Parameters-b03{0}", ClassAuid(ClassId::kConstantValue),
                 PropertiesStream({{0x4C01, 0x82, speedKey}}));
    Storage& dictionary = aaf.Header().storages["Dictionary-3b04"];
    dictionary.streams["properties"] =
        PropertiesStream({{0x2604, 0x3A, Utf16z(u"Paramete-nitions-2604")}});
    dictionary.streams["Paramete-nitions-2604 index"] = index;
    dictionary.Object(
        "Paramete-nitions-2604{0}", ClassAuid(ClassId::kParameterDefinition),
        PropertiesStream({{0x1B01, 0x82, speedKey}, {0x1B02, 0x82, Utf16z(u"Speed Ratio")}}));
    auto file = aaf.Open();

    const auto operationGroup = FirstSegmentAs<IAAFOperationGroup>(file);
    ASSERT_TRUE(operationGroup);
    std::shared_ptr<IEnumAAFParameters> parameters;
    std::shared_ptr<IAAFParameter> parameter;
    ASSERT_EQ(operationGroup->GetParameters(parameters), AAFRESULT_SUCCESS);
    ASSERT_EQ(parameters->NextOne(parameter), AAFRESULT_SUCCESS);
    EXPECT_EQ(parameters->NextOne(parameter), AAFRESULT_NO_MORE_OBJECTS);

    std::shared_ptr<IAAFParameterDef> definition;
    std::shared_ptr<IAAFDefObject> defObject;
    ASSERT_EQ(parameter->GetParameterDefinition(definition), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(definition, defObject), AAFRESULT_SUCCESS);
    aafUID_t id{};
    std::string name;
    EXPECT_EQ(defObject->GetAUID(id), AAFRESULT_SUCCESS);
    EXPECT_TRUE(id == kAAFParameterDef_SpeedRatio);
    EXPECT_EQ(defObject->GetName(name), AAFRESULT_SUCCESS);
    EXPECT_EQ(name, "Speed Ratio");
}

// An extension class (file E): resolved through the MetaDictionary's ClassDefinition.
TEST(FormatExamples, ExtensionClassAnswersToItsBaselineAncestor) {
    const aafUID_t rle = {
        0xB54E6C75, 0xDF3A, 0x11D3, {0xA0, 0x78, 0x00, 0x60, 0x94, 0xEB, 0x75, 0xCB}};
    TestAaf aaf;
    Storage& meta = aaf.MetaDictionary();
    meta.streams["properties"] = PropertiesStream({{0x0003, 0x3A, Utf16z(u"ClassDefinitions-3")}});
    Bytes index = Hex("01 00 00 00 4c 00 00 00 ff ff ff ff 05 00 10 4b 00 00 00 01 00 00 00");
    const Bytes key = AuidBytes(rle);
    index.insert(index.end(), key.begin(), key.end());
    meta.streams["ClassDefinitions-3 index"] = index;
    meta.Object("ClassDefinitions-3{4b}", ClassAuid(ClassId::kClassDefinition), Hex(R"(
        4c 20 05 00 05 00 82 00 10 00 06 00 82 00 28 00
        08 00 02 00 15 00 09 00 3a 00 1a 00 0a 00 82 00
        01 00 75 6c 4e b5 3a df d3 11 a0 78 00 60 94 eb
        75 cb 41 00 76 00 69 00 64 00 20 00 52 00 4c 00
        45 00 20 00 44 00 65 00 73 00 63 00 72 00 69 00
        70 00 74 00 6f 00 72 00 00 00 00 00 05 00 10 01
        01 01 0d 01 01 00 27 06 0e 2b 34 02 06 01 01 50
        00 72 00 6f 00 70 00 65 00 72 00 74 00 69 00 65
        00 73 00 2d 00 39 00 00 00 01)"));
    const aafMobID_t id = TestMobID(7);
    Storage& source =
        aaf.AddMob(0x3f, id, ClassAuid(ClassId::kSourceMob),
                   PropertiesStream({{0x4401, 0x82, MobIDBytes(id)},
                                     {0x4701, 0x22, Utf16z(u"EssenceDescription-4701")}}));
    source.Object("EssenceDescription-4701", rle,
                  PropertiesStream({{0x3202, 0x82, U32(0x128)},
                                    {0x3203, 0x82, U32(0x2D0)},
                                    {0x320E, 0x82, Hex("10 00 00 00 09 00 00 00")},
                                    {0x320D, 0x82, Hex("0f 00 00 00 48 01 00 00")}}));
    auto file = aaf.Open();

    std::shared_ptr<IAAFMob> mob;
    std::shared_ptr<IAAFSourceMob> sourceMob;
    std::shared_ptr<IAAFEssenceDescriptor> descriptor;
    ASSERT_EQ(HeaderOf(file)->LookupMob(id, mob), AAFRESULT_SUCCESS);
    ASSERT_EQ(QueryInterface(mob, sourceMob), AAFRESULT_SUCCESS);
    ASSERT_EQ(sourceMob->GetEssenceDescriptor(descriptor), AAFRESULT_SUCCESS);
    std::shared_ptr<IAAFDigitalImageDescriptor> picture;
    std::shared_ptr<IAAFCDCIDescriptor> cdci;
    ASSERT_EQ(QueryInterface(descriptor, picture), AAFRESULT_SUCCESS);
    EXPECT_EQ(QueryInterface(descriptor, cdci), AAFRESULT_NO_INTERFACE);
    aafUInt32 height = 0;
    aafUInt32 width = 0;
    ASSERT_EQ(picture->GetStoredView(height, width), AAFRESULT_SUCCESS);
    EXPECT_EQ(height, 296u);  // height first
    EXPECT_EQ(width, 720u);
    aafRational_t aspect{};
    picture->GetImageAspectRatio(aspect);
    EXPECT_EQ(aspect, (aafRational_t{16, 9}));
    aafUInt32 entries = 0;
    ASSERT_EQ(picture->GetVideoLineMapSize(entries), AAFRESULT_SUCCESS);
    ASSERT_EQ(entries, 2u);
    aafInt32 map[2] = {};
    ASSERT_EQ(picture->GetVideoLineMap(map), AAFRESULT_SUCCESS);
    EXPECT_EQ(map[0], 15);
    EXPECT_EQ(map[1], 328);
    aafInt32 one[1] = {};
    EXPECT_EQ(picture->GetVideoLineMap(one), AAFRESULT_SMALLBUF);

    std::shared_ptr<IAAFClassDef> classDef;
    std::string name;
    ASSERT_EQ(descriptor->GetDefinition(classDef), AAFRESULT_SUCCESS);
    classDef->GetName(name);
    EXPECT_EQ(name, "Avid RLE Descriptor");
    std::shared_ptr<IAAFClassDef> parent;
    ASSERT_EQ(classDef->GetParent(parent), AAFRESULT_SUCCESS);
    parent->GetName(name);
    EXPECT_EQ(name, "DigitalImageDescriptor");
}

TEST(FormatExamples, UnknownClassIsRefused) {
    const aafUID_t unknown = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
    TestAaf aaf;
    const aafMobID_t id = TestMobID(3);
    aaf.AddMob(0, id, unknown, PropertiesStream({{0x4401, 0x82, MobIDBytes(id)}}));
    const aafMobID_t good = TestMobID(4);
    aaf.AddMob(1, good, ClassAuid(ClassId::kCompositionMob),
               PropertiesStream({{0x4401, 0x82, MobIDBytes(good)}}));
    auto file = aaf.Open();
    std::shared_ptr<IAAFMob> mob;
    EXPECT_EQ(HeaderOf(file)->LookupMob(id, mob), AAFRESULT_UNKNOWN_CLASS);
    EXPECT_FALSE(mob);
    // The enumeration passes over it and still yields the mob after it.
    std::shared_ptr<IEnumAAFMobs> mobs;
    ASSERT_EQ(HeaderOf(file)->GetMobs(nullptr, mobs), AAFRESULT_SUCCESS);
    ASSERT_EQ(mobs->NextOne(mob), AAFRESULT_SUCCESS);
    aafMobID_t found{};
    mob->GetMobID(found);
    EXPECT_TRUE(found == good);
    EXPECT_EQ(mobs->NextOne(mob), AAFRESULT_NO_MORE_OBJECTS);
}

// Mobs come out in ascending MobID byte order, whatever the index order; kinds filter them.
TEST(FormatExamples, MobEnumerationOrderAndKinds) {
    TestAaf aaf;
    const std::uint32_t materials[] = {0x300, 0x2FF, 0x100, 0x1FF00, 0x5};
    std::uint32_t key = 0;
    for (std::uint32_t material : materials) {
        const aafMobID_t id = TestMobID(material);
        const std::u16string name = u"m" + std::u16string(1, static_cast<char16_t>(u'0' + key));
        aaf.AddMob(
            key++, id, ClassAuid(ClassId::kCompositionMob),
            PropertiesStream({{0x4401, 0x82, MobIDBytes(id)}, {0x4402, 0x82, Utf16z(name)}}));
    }
    const aafMobID_t masterId = TestMobID(0x1);
    aaf.AddMob(key++, masterId, ClassAuid(ClassId::kMasterMob),
               PropertiesStream({{0x4401, 0x82, MobIDBytes(masterId)}}));
    auto file = aaf.Open();

    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    ASSERT_EQ(HeaderOf(file)->GetMobs(&criteria, mobs), AAFRESULT_SUCCESS);
    std::vector<std::string> names;
    std::shared_ptr<IAAFMob> mob;
    while (AAFRESULT_SUCCEEDED(mobs->NextOne(mob))) {
        std::string name;
        mob->GetName(name);
        names.push_back(name);
    }
    // Data1 is stored little-endian, so the order is that of 00 01.., 00 03.., 00 ff.., 05..,
    // ff 02.. (0x100, 0x300, 0x1FF00, 0x5, 0x2FF), not that of the numbers or the index.
    EXPECT_EQ(names, (std::vector<std::string>{"m2", "m0", "m3", "m4", "m1"}));
    EXPECT_EQ(mobs->NextOne(mob), AAFRESULT_NO_MORE_OBJECTS);

    aafNumSlots_t count = 0;
    EXPECT_EQ(HeaderOf(file)->CountMobs(kAAFMasterMob, count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(HeaderOf(file)->CountMobs(kAAFAllMob, count), AAFRESULT_SUCCESS);
    EXPECT_EQ(count, 6u);
}

TEST(FormatExamples, CompareMobIDsIsByteOrderOfTheLittleEndianForm) {
    EXPECT_EQ(CompareMobIDs(TestMobID(0x300), TestMobID(0x2FF)), std::strong_ordering::less);
    EXPECT_EQ(CompareMobIDs(TestMobID(0x100), TestMobID(0x1FF00)), std::strong_ordering::less);
    EXPECT_EQ(CompareMobIDs(TestMobID(7), TestMobID(7)), std::strong_ordering::equal);
    // The §10.5 example: {7900BA08-…} before {B504FD08-…}.
    const aafUID_t a = {0x7900BA08, 0, 0, {}};
    const aafUID_t b = {0xB504FD08, 0, 0, {}};
    EXPECT_EQ(CompareUIDs(a, b), std::strong_ordering::less);
}

TEST(FormatExamples, StoredAuidAndElementNames) {
    const Bytes rational = Hex("00 01 01 03 00 00 00 00 06 0e 2b 34 01 04 01 01");
    EXPECT_TRUE(DecodeAUID(rational.data(), ByteOrder{}) == kAAFTypeID_Rational);
    const Bytes header = Hex("01 01 01 0d 01 01 00 2f 06 0e 2b 34 02 06 01 01");
    std::array<std::uint8_t, 16> clsid{};
    std::copy(header.begin(), header.end(), clsid.begin());
    EXPECT_EQ(FindBaselineClass(ClassIdToAUID(clsid)), ClassId::kHeader);
    EXPECT_EQ(ElementName(u"Mobs-1901", 0), u"Mobs-1901{0}");
    EXPECT_EQ(ElementName(u"Mobs-1901", 0x1a), u"Mobs-1901{1a}");
    EXPECT_EQ(ElementName(u"Containe-nitions-2608", 0x99), u"Containe-nitions-2608{99}");
}

}  // namespace
}  // namespace tessel::aaf::test
