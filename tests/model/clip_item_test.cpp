#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/clip_registry.h"
#include "model/title_info.h"
#include "model_fixture.h"

namespace {

using tessel::aafwriter::AafBuilder;
using tessel::aafwriter::DataKind;
using tessel::aafwriter::MediaRef;
using tessel::aafwriter::MediaSpec;
using tessel::aafwriter::PictureFormat;
using tessel::aafwriter::SoundFormat;

using ClipItemTest = ModelTest;

TEST_F(ClipItemTest, TheSourceChainGivesNamesRateMediaAndFormat) {
    AafBuilder builder;
    MediaRef media =
        builder.AddMedia({.name = "Interview",
                          .path = "D:\\Media\\interview.avi",
                          .editRate = {30000, 1001},
                          .length = 1500,
                          .soundSlots = 1,
                          .sound = {.channels = 1, .sampleRate = 44100, .bitsPerSample = 24}});
    auto composition = builder.AddComposition("Edit");
    composition.AddPictureTrack().AddClip(media, 100, 10);
    composition.AddSoundTrack().AddClip(media, 100, 10);
    Build(builder);

    const FCVideoClipItem& video = VideoClipAt(0, 0, 0);
    EXPECT_EQ(video.mobName, "Interview");
    EXPECT_EQ(video.slotName, "interview.avi");
    EXPECT_EQ(video.editRate, (aafRational_t{30000, 1001}));
    EXPECT_EQ(video.mediaPath, "D:\\Media\\interview.avi");
    EXPECT_EQ(video.mediaLength, 1500);
    EXPECT_EQ(video.length, 100);
    EXPECT_EQ(video.sourceStart, 10);
    EXPECT_EQ(video.mediaKind, kMediaVideo);
    EXPECT_EQ(video.generatorKind, kGeneratorNone);
    EXPECT_NE(video.masterClip, nullptr);
    EXPECT_NE(video.essenceDescriptor, nullptr);
    EXPECT_EQ(video.storedWidth, 1920u);
    EXPECT_EQ(video.storedHeight, 1080u);
    EXPECT_EQ(video.aspectRatio, (aafRational_t{16, 9}));

    const FCAudioClipItem& audio = AudioClipAt(0, 1, 0);
    EXPECT_EQ(audio.mediaKind, kMediaAudio);
    EXPECT_EQ(audio.waveFormat.channelCount, 1);
    EXPECT_EQ(audio.waveFormat.sampleRate, 44100u);
    EXPECT_EQ(audio.waveFormat.bitsPerSample, 24);
    EXPECT_EQ(audio.waveFormat.formatTag, 1);
}

TEST_F(ClipItemTest, AClipWhoseSourceIsUnknownKeepsItsOwnLength) {
    AafBuilder builder;
    auto composition = builder.AddComposition("Edit");
    auto track = composition.AddPictureTrack();
    track.AddSourceClip(aafMobID_t{}, 1, 80, 5);
    track.AddSourceClip(aafMobID_t{}, 1, 1, 0);
    Build(builder);

    const FCVideoClipItem& clip = VideoClipAt(0, 0, 0);
    EXPECT_EQ(clip.mobName, "");
    EXPECT_EQ(clip.slotName, "");
    EXPECT_EQ(clip.mediaPath, "");
    EXPECT_EQ(clip.mediaLength, 80);
    EXPECT_EQ(clip.sourceStart, 5);
    EXPECT_EQ(clip.editRate, (aafRational_t{0, 1}));
    EXPECT_EQ(clip.generatorKind, kGeneratorNone);
    EXPECT_EQ(clip.masterClip, nullptr);
    // A still of unknown rate gets no handle rather than a division by zero.
    const FCVideoClipItem& still = VideoClipAt(0, 0, 1);
    EXPECT_EQ(still.generatorKind, kGeneratorStill);
    EXPECT_EQ(still.sourceStart, 0);
    EXPECT_EQ(still.mediaLength, 1);
}

struct GeneratorCase {
    std::optional<std::string> slotName;
    std::string path;
    aafRational_t editRate;
    std::int64_t mediaLength;
    std::int64_t clipLength;
    int32_t kind;
    aafPosition_t sourceStart;
    aafLength_t resultLength;
};

TEST_F(ClipItemTest, GeneratorsAreRecognisedAndMattesAndStillsGetAMinuteEachSide) {
    const std::vector<GeneratorCase> cases = {
        {"Color Matte", "C:\\m.col", {25, 1}, 1500, 100, kGeneratorColorMatte, 1500, 3100},
        {"COLOR matte", "", {30000, 1001}, 1500, 100, kGeneratorColorMatte, 1798, 3696},
        {"Bars and Tone", "C:\\b.etl", {25, 1}, 1500, 100, kGeneratorBarsAndTone, 3, 1500},
        {std::nullopt, "C:\\Titles\\T.ETL", {25, 1}, 1, 100, kGeneratorTitle, 3, 1},
        {std::nullopt, "C:\\still.png", {30000, 1001}, 1, 50, kGeneratorStill, 1798, 3646},
        {std::nullopt, "etl", {25, 1}, 1500, 100, kGeneratorNone, 3, 1500},
    };
    AafBuilder builder;
    std::vector<MediaRef> media;
    for (const GeneratorCase& c : cases) {
        MediaSpec spec;
        spec.path = c.path;
        spec.editRate = c.editRate;
        spec.length = c.mediaLength;
        spec.slotName = c.slotName;
        media.push_back(builder.AddMedia(spec));
    }
    auto track = builder.AddComposition("Edit").AddPictureTrack();
    for (size_t i = 0; i < cases.size(); ++i) {
        track.AddClip(media[i], cases[i].clipLength, 3);
    }
    Build(builder);

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].path);
        const FCClipItemBase& clip = ClipAt(0, 0, i);
        EXPECT_EQ(clip.generatorKind, cases[i].kind);
        EXPECT_EQ(clip.sourceStart, cases[i].sourceStart);
        EXPECT_EQ(clip.mediaLength, cases[i].resultLength);
    }
}

TEST_F(ClipItemTest, OnlyAWaveSummaryLongerThanTheFormatChunkIsRead) {
    AafBuilder builder;
    auto soundMedia = [&](const std::string& path, const SoundFormat& format) {
        MediaSpec spec;
        spec.path = path;
        spec.picture.reset();
        spec.soundSlots = 1;
        spec.sound = format;
        return builder.AddMedia(spec);
    };
    const std::vector<std::uint8_t> summary = tessel::aafwriter::WaveSummary(2, 48000, 16);
    SoundFormat fullFormat;
    fullFormat.summary = summary;
    SoundFormat shortFormat;
    shortFormat.summary = std::vector<std::uint8_t>(summary.begin(), summary.begin() + 36);
    SoundFormat aifcFormat;
    aifcFormat.kind = tessel::aafwriter::SoundDescriptorKind::kAifc;
    MediaRef full = soundMedia("C:\\full.wav", fullFormat);
    MediaRef shortened = soundMedia("C:\\short.wav", shortFormat);
    MediaRef aifc = soundMedia("C:\\a.aif", aifcFormat);
    auto track = builder.AddComposition("Edit").AddSoundTrack();
    track.AddClip(full, 10);
    track.AddClip(shortened, 10);
    track.AddClip(aifc, 10);
    Build(builder);

    EXPECT_EQ(AudioClipAt(0, 0, 0).waveFormat.channelCount, 2);
    EXPECT_EQ(AudioClipAt(0, 0, 0).waveFormat.sampleRate, 48000u);
    EXPECT_EQ(AudioClipAt(0, 0, 0).waveFormat.bitsPerSample, 16);
    EXPECT_EQ(AudioClipAt(0, 0, 0).waveFormat.blockAlign, 4);
    EXPECT_EQ(AudioClipAt(0, 0, 0).waveFormat.bytesPerSecond, 192000u);
    for (size_t i : {1u, 2u}) {
        const FCWaveFormat& format = AudioClipAt(0, 0, i).waveFormat;
        EXPECT_EQ(format.channelCount, 0);
        EXPECT_EQ(format.sampleRate, 0u);
        EXPECT_EQ(format.bitsPerSample, 0);
    }
}

TEST_F(ClipItemTest, TheVideoLineMapGivesTheFieldDominance) {
    const std::vector<std::pair<std::optional<std::vector<int32_t>>, int32_t>> cases = {
        {std::vector<int32_t>{0, 1}, 1},    {std::vector<int32_t>{1, 0}, 2},
        {std::vector<int32_t>{21}, 0},      {std::vector<int32_t>{}, 0},
        {std::vector<int32_t>{1, 2, 3}, 0}, {std::nullopt, 0},
    };
    AafBuilder builder;
    auto track = builder.AddComposition("Edit").AddPictureTrack();
    for (const auto& [lineMap, dominance] : cases) {
        PictureFormat format;
        format.lineMap = lineMap;
        track.AddClip(builder.AddMedia({.path = "C:\\v.mov", .picture = format, .sound = {}}), 10);
    }
    Build(builder);

    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(VideoClipAt(0, 0, i).fieldDominance, cases[i].second) << "case " << i;
    }
}

TEST_F(ClipItemTest, VideoLinksToAudioOfTheSameFileAtTheSamePlaceAndLength) {
    AafBuilder builder;
    MediaRef media = builder.AddMedia({.path = "C:\\take.mov", .soundSlots = 2, .sound = {}});
    MediaRef otherCase = builder.AddMedia({.path = "C:\\TAKE.mov", .soundSlots = 1, .sound = {}});
    auto composition = builder.AddComposition("Edit");
    auto v1 = composition.AddPictureTrack();
    v1.AddClip(media, 100);
    v1.AddClip(otherCase, 100);
    auto v2 = composition.AddPictureTrack();
    v2.AddClip(media, 100);
    auto a1 = composition.AddSoundTrack();
    a1.AddFiller(500);
    a1.AddClip(media, 30);  // registered first, lies elsewhere
    auto a2 = composition.AddSoundTrack();
    a2.AddClip(media, 100, 0, 0);
    auto a3 = composition.AddSoundTrack();
    a3.AddClip(media, 99, 0, 1);
    auto a4 = composition.AddSoundTrack();
    a4.AddClip(media, 100, 0, 1);
    Build(builder);

    const ClipList expected = {&ClipAt(0, 3, 0), &ClipAt(0, 5, 0)};
    EXPECT_EQ(VideoClipAt(0, 0, 0).links, expected);
    EXPECT_EQ(VideoClipAt(0, 1, 0).links, expected);
    EXPECT_EQ(VideoClipAt(0, 0, 0).mediaAudio, &ClipAt(0, 2, 0));
    EXPECT_TRUE(VideoClipAt(0, 0, 0).hasMediaAudio);
    // Paths are compared exactly: the upper-case spelling has no audio.
    EXPECT_TRUE(VideoClipAt(0, 0, 1).links.empty());
    EXPECT_EQ(VideoClipAt(0, 0, 1).mediaAudio, nullptr);
    EXPECT_FALSE(VideoClipAt(0, 0, 1).hasMediaAudio);
    EXPECT_TRUE(ClipAt(0, 3, 0).links.empty());
}

TEST_F(ClipItemTest, LinksAcrossSequences) {
    AafBuilder builder;
    MediaRef media = builder.AddMedia({.path = "C:\\take.mov", .soundSlots = 1, .sound = {}});
    builder.AddComposition("Picture").AddPictureTrack().AddClip(media, 100);
    builder.AddComposition("Sound").AddSoundTrack().AddClip(media, 100);
    Build(builder);

    EXPECT_EQ(VideoClipAt(0, 0, 0).links, (ClipList{&ClipAt(1, 0, 0)}));
}

TEST_F(ClipItemTest, TitleClipsReadTheirDocumentAndOthersGetNoRecord) {
    const std::string titlePath = folder + "/Title.ETL";
    std::ofstream(titlePath) << "<TitleDocument><m_TitleObList><CCtsTextObject><CCtsTitleObject>"
                                "<m_sText>Hello &amp; welcome</m_sText><m_sFontName>Verdana"
                                "</m_sFontName><TitleFont><iSize>48</iSize></TitleFont>"
                                "</CCtsTitleObject></CCtsTextObject></m_TitleObList>"
                                "</TitleDocument>";
    AafBuilder builder;
    MediaRef title = builder.AddMedia({.path = titlePath, .soundSlots = 1, .sound = {}});
    MediaRef missing = builder.AddMedia({.path = folder + "/missing.etl", .sound = {}});
    MediaRef plain = builder.AddMedia({.path = "C:\\plain.mov", .sound = {}});
    auto composition = builder.AddComposition("Edit");
    auto video = composition.AddPictureTrack();
    video.AddClip(title, 10);
    video.AddClip(missing, 10);
    video.AddClip(plain, 10);
    composition.AddSoundTrack().AddClip(title, 10);
    Build(builder);

    ASSERT_NE(VideoClipAt(0, 0, 0).title, nullptr);
    EXPECT_EQ(VideoClipAt(0, 0, 0).title->text, "Hello & welcome");
    EXPECT_EQ(VideoClipAt(0, 0, 0).title->fontName, "Verdana");
    EXPECT_EQ(VideoClipAt(0, 0, 0).title->fontSize, "48");
    ASSERT_NE(VideoClipAt(0, 0, 1).title, nullptr);
    EXPECT_EQ(VideoClipAt(0, 0, 1).title->text, "Dummy");
    EXPECT_EQ(VideoClipAt(0, 0, 1).title->fontName, "Arial");
    EXPECT_EQ(VideoClipAt(0, 0, 1).title->fontSize, "26");
    EXPECT_EQ(VideoClipAt(0, 0, 2).title, nullptr);
    EXPECT_EQ(ClipAt(0, 1, 0).generatorKind, kGeneratorTitle);
}

}  // namespace
