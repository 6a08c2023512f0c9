// tessel-mkaaf's two inputs: JSON descriptions (their faults must be named precisely) and the
// random EDIUS-shaped edits (deterministic, with every feature the converter cares about).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "aaf/AAF.h"
#include "edit_description.h"
#include "gsf_listing.h"
#include "random_edit.h"

namespace {

using nlohmann::json;
using tessel::aafwriter::AafBuilder;
using tessel::mkaaf::BuildFromDescription;
using tessel::mkaaf::DescriptionStatus;
using tessel::mkaaf::MakeRandomEdit;
using tessel::mkaaf::OptionsFromDescription;

std::string Fault(const json& description) {
    DescriptionStatus status;
    const auto options = OptionsFromDescription(description, status);
    if (!status.ok()) {
        return status.message;
    }
    AafBuilder builder(options);
    return BuildFromDescription(description, builder).message;
}

TEST(EditDescription, FaultsNameTheirPlace) {
    const json media = {{"id", "a"}, {"path", "a.avi"}, {"sound_slots", 1}};
    const auto withComponent = [&](const json& component) {
        return json{
            {"media", {media}},
            {"compositions", {{{"slots", {{{"kind", "picture"}, {"components", {component}}}}}}}}};
    };
    const struct {
        json description;
        std::string expected;
    } cases[] = {
        {json::array(), "expected a JSON object"},
        {{{"format", {{"sector_size", 1024}}}}, "format.sector_size: expected 512 or 4096"},
        {{{"format", {{"byte_order", "middle"}}}}, "format.byte_order"},
        {{{"media", {{{"path", "x"}}}}}, "media[0]: missing \"id\""},
        {{{"media", {media, media}}}, "media[1].id: media id \"a\" is used twice"},
        {{{"media", {{{"id", "b"}, {"edit_rate", {25}}}}}}, "media[0].edit_rate"},
        {{{"media", {{{"id", "b"}, {"sound", {{"descriptor", "mp3"}}}}}}},
         "media[0].sound.descriptor"},
        {{{"compositions", {{{"slots", {{{"name", "V1"}}}}}}}},
         "compositions[0].slots[0]: missing \"kind\""},
        {{{"compositions", {{{"slots", {{{"kind", "video"}}}}}}}},
         "compositions[0].slots[0].kind: unknown data kind \"video\""},
        {withComponent({{"type", "clip"}, {"media", "z"}, {"length", 5}}),
         "compositions[0].slots[0].components[0].media: no media with id \"z\""},
        {withComponent({{"type", "wipe"}}), "components[0].type: unknown component type"},
        {withComponent({{"type", "filler"}, {"length", "long"}}),
         "components[0].length: expected an integer"},
        {withComponent({{"type", "speed"}, {"media", "a"}, {"length", 5}}),
         "components[0]: missing \"speed\""},
        {withComponent({{"type", "clip"}, {"source", {{"mob_id", "12"}, {"slot", 1}}}}),
         "source.mob_id: a mob id has 32 bytes"},
        {withComponent({{"type", "operation_group"},
                        {"operation", "speed"},
                        {"parameters", {{{"definition", "speed_ratio"}}}}}),
         "parameters[0]: expected \"rational\", \"int32\" or \"varying\""},
    };
    for (const auto& c : cases) {
        const std::string fault = Fault(c.description);
        EXPECT_NE(fault.find(c.expected), std::string::npos)
            << "description " << c.description.dump() << "\ngave \"" << fault << "\"";
    }
    // A sound clip of media without sound slots.
    const std::string fault =
        Fault({{"media", {{{"id", "p"}, {"path", "p.avi"}}}},
               {"compositions",
                {{{"slots",
                   {{{"kind", "sound"},
                     {"components", {{{"type", "clip"}, {"media", "p"}, {"length", 5}}}}}}}}}}});
    EXPECT_NE(fault.find("has no sound slot 0"), std::string::npos) << fault;
}

/// Visits every component of every composition of a description, inputs included.
void ForEachComponent(const json& description, const std::function<void(const json&)>& visit) {
    std::function<void(const json&)> walk = [&](const json& list) {
        for (const json& c : list) {
            visit(c);
            for (const char* nested : {"inputs", "components"}) {
                if (c.contains(nested)) {
                    walk(c.at(nested));
                }
            }
        }
    };
    for (const json& composition : description.at("compositions")) {
        for (const json& slot : composition.at("slots")) {
            if (slot.contains("components")) {
                walk(slot.at("components"));
            }
        }
    }
}

TEST(RandomEdit, SameSeedSameFileAndEveryFeatureAppears) {
    const auto first = MakeRandomEdit(11, 3000, 512);
    EXPECT_EQ(first.description, MakeRandomEdit(11, 3000, 512).description);
    EXPECT_NE(first.description, MakeRandomEdit(12, 3000, 512).description);

    std::map<std::string, int> media;  // id → kind letter
    for (const json& m : first.description.at("media")) {
        media[m.at("id").get<std::string>()] = m.at("id").get<std::string>()[0];
    }
    int clips = 0, transitions = 0, reversed = 0, faster = 0;
    std::set<int> kinds;
    ForEachComponent(first.description, [&](const json& c) {
        const std::string type = c.at("type").get<std::string>();
        if (type == "clip" || type == "speed") {
            ++clips;
            kinds.insert(media.at(c.at("media").get<std::string>()));
        }
        if (type == "transition") {
            ++transitions;
        }
        if (type == "speed") {
            const auto speed = c.at("speed");
            reversed += speed[0].get<int>() < 0 ? 1 : 0;
            faster += speed[0].get<int>() > speed[1].get<int>() ? 1 : 0;
        }
    });
    EXPECT_NEAR(clips, 3000, 5);
    EXPECT_GT(transitions, 10);
    EXPECT_GT(reversed, 0);
    EXPECT_GT(faster, 0);
    // video, music, stills, titles, colour mattes, bars and tone
    EXPECT_EQ(kinds, (std::set<int>{'v', 'm', 's', 't', 'c', 'b'}));
    EXPECT_GE(first.description.at("compositions").size(), 2u);
    EXPECT_FALSE(first.titles.empty());

    AafBuilder a, b;
    ASSERT_TRUE(BuildFromDescription(first.description, a).ok());
    ASSERT_TRUE(BuildFromDescription(first.description, b).ok());
    EXPECT_EQ(a.ToBytes(), b.ToBytes());
}

// Every video clip the generator links has its sound on A1 and A2 at the same place and length.
TEST(RandomEdit, LinkedSoundLiesUnderItsVideo) {
    const auto edit = MakeRandomEdit(5, 1500, 512);
    for (const json& composition : edit.description.at("compositions")) {
        std::map<std::string, std::vector<std::pair<std::int64_t, std::int64_t>>> placed;
        for (const json& slot : composition.at("slots")) {
            if (!slot.contains("components")) {
                continue;
            }
            std::int64_t at = 0;
            for (const json& c : slot.at("components")) {
                const std::int64_t length = c.value("length", std::int64_t{0});
                if (c.at("type") == "transition") {
                    at -= length;
                    continue;
                }
                if (c.contains("media") && c.at("media").get<std::string>()[0] == 'v') {
                    placed[slot.at("name").get<std::string>() + c.at("media").get<std::string>()]
                        .push_back({at, length});
                }
                at += length;
            }
        }
        int linked = 0;
        for (const auto& [key, spans] : placed) {
            if (key.rfind("A1", 0) != 0) {
                continue;
            }
            const auto& video = placed["V1" + key.substr(2)];
            for (const auto& span : spans) {
                EXPECT_NE(std::find(video.begin(), video.end(), span), video.end()) << key;
                const auto& a2 = placed["A2" + key.substr(2)];
                EXPECT_NE(std::find(a2.begin(), a2.end(), span), a2.end()) << key;
                ++linked;
            }
        }
        EXPECT_GT(linked, 10);
    }
}

TEST(RandomEdit, LibgsfReadsARandomEditSilently) {
    TESSEL_REQUIRE_GSF();
    const auto edit = MakeRandomEdit(3, 400, 4096);
    DescriptionStatus status;
    AafBuilder builder(OptionsFromDescription(edit.description, status));
    ASSERT_TRUE(status.ok());
    ASSERT_TRUE(BuildFromDescription(edit.description, builder).ok());
    const auto path = (std::filesystem::path(::testing::TempDir()) / "random.aaf").string();
    ASSERT_TRUE(builder.Write(path).ok());
    const auto listing = tessel::testing::ListWithGsf(path);
    ASSERT_TRUE(listing.opened) << listing.error;
    EXPECT_TRUE(listing.messages.empty());
    EXPECT_GT(listing.nodes.size(), 2000u);
}

// Read back through the reader: every composition clip of the description is there and leads to
// a master mob slot.
TEST(RandomEdit, ReadsBackThroughTheReader) {
    const auto edit = MakeRandomEdit(9, 600, 512);
    int described = 0;
    ForEachComponent(edit.description, [&](const json& c) {
        described += c.at("type") == "clip" || c.at("type") == "speed" ? 1 : 0;
    });
    AafBuilder builder;
    ASSERT_TRUE(BuildFromDescription(edit.description, builder).ok());
    const auto path = (std::filesystem::path(::testing::TempDir()) / "random-read.aaf").string();
    ASSERT_TRUE(builder.Write(path).ok());

    std::shared_ptr<IAAFFile> file;
    ASSERT_EQ(AAFFileOpenExistingRead(path, 0, file), AAFRESULT_SUCCESS) << AafLastOpenError();
    std::shared_ptr<IAAFHeader> header;
    ASSERT_EQ(file->GetHeader(header), AAFRESULT_SUCCESS);
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    ASSERT_EQ(header->GetMobs(&criteria, mobs), AAFRESULT_SUCCESS);
    int found = 0, resolved = 0, compositions = 0;
    std::function<void(const std::shared_ptr<IAAFComponent>&)> visit =
        [&](const std::shared_ptr<IAAFComponent>& component) {
            std::shared_ptr<IAAFSourceClip> clip;
            std::shared_ptr<IAAFOperationGroup> group;
            if (QueryInterface(component, clip) == AAFRESULT_SUCCESS) {
                ++found;
                aafSourceRef_t ref{};
                std::shared_ptr<IAAFMob> master;
                std::shared_ptr<IAAFMobSlot> slot;
                if (clip->GetSourceReference(ref) == AAFRESULT_SUCCESS &&
                    header->LookupMob(ref.sourceID, master) == AAFRESULT_SUCCESS &&
                    master->LookupSlot(ref.sourceSlotID, slot) == AAFRESULT_SUCCESS) {
                    ++resolved;
                }
            } else if (QueryInterface(component, group) == AAFRESULT_SUCCESS) {
                aafUInt32 inputs = 0;
                group->CountSourceSegments(inputs);
                for (aafUInt32 i = 0; i < inputs; ++i) {
                    std::shared_ptr<IAAFSegment> input;
                    group->GetInputSegmentAt(i, input);
                    visit(input);
                }
            }
        };
    std::shared_ptr<IAAFMob> mob;
    while (mobs->NextOne(mob) == AAFRESULT_SUCCESS) {
        ++compositions;
        aafNumSlots_t slots = 0;
        mob->CountSlots(slots);
        for (aafUInt32 s = 0; s < slots; ++s) {
            std::shared_ptr<IAAFMobSlot> slot;
            std::shared_ptr<IAAFSegment> segment;
            std::shared_ptr<IAAFSequence> sequence;
            mob->GetSlotAt(s, slot);
            slot->GetSegment(segment);
            if (QueryInterface(segment, sequence) != AAFRESULT_SUCCESS) {
                continue;
            }
            aafUInt32 count = 0;
            sequence->CountComponents(count);
            for (aafUInt32 i = 0; i < count; ++i) {
                std::shared_ptr<IAAFComponent> component;
                sequence->GetComponentAt(i, component);
                visit(component);
            }
        }
    }
    EXPECT_EQ(compositions, static_cast<int>(edit.description.at("compositions").size()));
    EXPECT_EQ(found, described);
    EXPECT_EQ(resolved, described);
}

TEST(RandomEdit, TitleDocumentsHoldTheirTextAndFont) {
    const std::string xml =
        tessel::mkaaf::TitleDocumentXml({"t.etl", "Fish & <Chips>", "Arial Black", 48});
    EXPECT_NE(xml.find("<m_sText>Fish &amp; &lt;Chips&gt;</m_sText>"), std::string::npos);
    EXPECT_NE(xml.find("<m_sFontName>Arial Black</m_sFontName>"), std::string::npos);
    EXPECT_NE(xml.find("<iSize>48</iSize>"), std::string::npos);
    EXPECT_EQ(xml.find("<TitleDocument>"), xml.find('\n') + 1);
}

}  // namespace
