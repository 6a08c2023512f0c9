#include "model_fixture.h"

#include <filesystem>

#include "job/conversion_job.h"

void ModelTest::SetUp() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = (std::filesystem::temp_directory_path() /
              ("tessel-model-" + std::string(test->test_suite_name()) + "-" + test->name()))
                 .string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SetLogTarget(this);
}

void ModelTest::TearDown() {
    model.reset();
    CloseAafFile();
    SetLogTarget(nullptr);
    std::filesystem::remove_all(folder);
}

void ModelTest::TakeLogLine(int /*kind*/, std::string line) {
    line.resize(line.size() - 2);
    log.push_back(std::move(line));
}

FCInterchange& ModelTest::Build(tessel::aafwriter::AafBuilder& builder) {
    const std::string path = folder + "/model.aaf";
    EXPECT_TRUE(builder.Write(path).ok());
    EXPECT_TRUE(OpenAafFile(path));
    std::shared_ptr<IAAFHeader> header;
    g_aafFile->GetHeader(header);
    SetAafHeader(header);
    model = std::make_unique<FCInterchange>();
    AddCompositionSequences(*model, *header);
    ProcessEffectsAndTransitions(*model);
    return *model;
}

FCTrackBase& ModelTest::TrackAt(size_t sequence, size_t track) const {
    return *model->sequences.at(sequence)->tracks.at(track);
}

FCClipItemBase& ModelTest::ClipAt(size_t sequence, size_t track, size_t item) const {
    return *TrackAt(sequence, track).clipItems.at(item);
}

FCVideoClipItem& ModelTest::VideoClipAt(size_t sequence, size_t track, size_t item) const {
    return dynamic_cast<FCVideoClipItem&>(ClipAt(sequence, track, item));
}

FCAudioClipItem& ModelTest::AudioClipAt(size_t sequence, size_t track, size_t item) const {
    return dynamic_cast<FCAudioClipItem&>(ClipAt(sequence, track, item));
}
