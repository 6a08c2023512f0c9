#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "aafwriter/builder.h"
#include "model/clip_item.h"
#include "model/interchange.h"
#include "model/log.h"
#include "model/track.h"

/// Builds the timeline model of an AAF file made with the fixture writer, as the conversion
/// does up to (and including) the effects-and-transitions pass, and records the log.
class ModelTest : public ::testing::Test, public LogTarget {
  protected:
    void SetUp() override;
    void TearDown() override;
    void TakeLogLine(int kind, std::string line) override;

    /// Writes, opens and converts `builder`'s file into `model`.
    FCInterchange& Build(tessel::aafwriter::AafBuilder& builder);

    FCTrackBase& TrackAt(size_t sequence, size_t track) const;
    FCClipItemBase& ClipAt(size_t sequence, size_t track, size_t item) const;
    FCVideoClipItem& VideoClipAt(size_t sequence, size_t track, size_t item) const;
    FCAudioClipItem& AudioClipAt(size_t sequence, size_t track, size_t item) const;

    /// A folder of this test's own, removed afterwards.
    std::string folder;
    std::unique_ptr<FCInterchange> model;
    /// Log lines without their "\r\n".
    std::vector<std::string> log;
};
