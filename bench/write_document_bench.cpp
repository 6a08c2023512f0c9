// Writing the document of a long timeline: 100,000 clip items (video with links and media
// audio, audio with pan), every tenth followed by a transition, built in memory.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "model/clip_item.h"
#include "model/interchange.h"
#include "model/sequence.h"
#include "model/track.h"
#include "xmeml/document_writer.h"
#include "xmeml/xml_document.h"

namespace {

constexpr int kClipsPerTrack = 25'000;

std::unique_ptr<FCInterchange> BuildTimeline() {
    auto interchange = std::make_unique<FCInterchange>();
    auto sequence = std::make_unique<FCSequence>(interchange.get(), nullptr);
    sequence->name = "Long edit";
    sequence->editRate = {25, 1};
    sequence->length = int64_t{kClipsPerTrack} * 100;
    FCSequence* owner = sequence.get();
    interchange->sequences.push_back(std::move(sequence));

    auto video1 = std::make_unique<FCVideoTrack>(1, owner, nullptr);
    auto video2 = std::make_unique<FCVideoTrack>(2, owner, nullptr);
    auto audio1 = std::make_unique<FCAudioTrack>(1, owner, nullptr);
    auto audio2 = std::make_unique<FCAudioTrack>(2, owner, nullptr);
    audio1->physicalNumber = 1;
    audio2->physicalNumber = 2;
    for (int i = 0; i < kClipsPerTrack; ++i) {
        const int64_t start = int64_t{i} * 100;
        const std::string path = "D:\\EDIUS\\Media\\clip" + std::to_string(i % 500) + ".mov";
        FCAudioClipItem* sounds[2] = {};
        FCTrackBase* audioTracks[2] = {audio1.get(), audio2.get()};
        for (int channel = 0; channel < 2; ++channel) {
            auto sound = std::make_unique<FCAudioClipItem>(audioTracks[channel], nullptr, start);
            sound->length = 100;
            sound->mediaLength = 1500;
            sound->editRate = {48000, 1};
            sound->mobName = "Clip " + std::to_string(i);
            sound->slotName = "clip.mov";
            sound->mediaPath = path;
            sound->waveFormat.channelCount = 1;
            sound->waveFormat.sampleRate = 48000;
            sound->waveFormat.bitsPerSample = 24;
            sound->itemIndex = i + 1;
            sounds[channel] = sound.get();
            audioTracks[channel]->clipItems.push_back(std::move(sound));
        }
        FCTrackBase* videoTracks[2] = {video1.get(), video2.get()};
        for (FCTrackBase* track : videoTracks) {
            auto picture = std::make_unique<FCVideoClipItem>(track, nullptr, start);
            picture->length = 100;
            picture->mediaLength = 1500;
            picture->sourceStart = 250;
            picture->editRate = {25, 1};
            picture->mobName = "Clip " + std::to_string(i);
            picture->slotName = "clip.mov";
            picture->mediaPath = path;
            picture->storedWidth = 1920;
            picture->storedHeight = 1080;
            picture->aspectRatio = {1, 1};
            picture->fieldDominance = 2;
            picture->mediaAudio = sounds[0];
            picture->links = {sounds[0], sounds[1]};
            picture->hasTransition = i % 10 == 0;
            picture->transitionLength = 10;
            picture->speedNumerator = i % 7 == 0 ? 2 : 1;
            track->clipItems.push_back(std::move(picture));
        }
    }
    for (auto* track :
         {static_cast<FCTrackBase*>(video1.release()), static_cast<FCTrackBase*>(audio1.release()),
          static_cast<FCTrackBase*>(video2.release()),
          static_cast<FCTrackBase*>(audio2.release())}) {
        owner->tracks.emplace_back(track);
    }
    return interchange;
}

void WriteAll(const FCInterchange& timeline, FCXmlDocument& xml) {
    xml.Create();
    for (const auto& sequence : timeline.sequences) {
        WriteSequence(*sequence, xml, xml.GetRoot());
    }
}

// Building the element tree alone.
void BuildLongDocument(benchmark::State& state) {
    const std::unique_ptr<FCInterchange> timeline = BuildTimeline();
    FCXmlDocument xml;
    for (auto _ : state) {
        WriteAll(*timeline, xml);
    }
    state.counters["clips"] = 4.0 * kClipsPerTrack;
}
BENCHMARK(BuildLongDocument)->Unit(benchmark::kMillisecond);

// Building the whole tree and saving it afterwards.
void SaveLongDocument(benchmark::State& state) {
    const std::unique_ptr<FCInterchange> timeline = BuildTimeline();
    const std::string path = std::filesystem::temp_directory_path() / "tessel-bench.xml";
    FCXmlDocument xml;
    for (auto _ : state) {
        WriteAll(*timeline, xml);
        if (!xml.Save(path).ok) {
            state.SkipWithError("the document could not be saved");
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(SaveLongDocument)->Unit(benchmark::kMillisecond);

// Writing the document as a conversion does: each finished clip item goes to the file at once.
void WriteDocumentWhileBuilding(benchmark::State& state) {
    const std::unique_ptr<FCInterchange> timeline = BuildTimeline();
    const std::string path = std::filesystem::temp_directory_path() / "tessel-bench.xml";
    for (auto _ : state) {
        if (!WriteDocument(*timeline, path).ok) {
            state.SkipWithError("the document could not be saved");
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(WriteDocumentWhileBuilding)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
