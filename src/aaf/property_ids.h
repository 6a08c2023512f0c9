#pragma once

// Property ids (pids) of the baseline AAF model that this reader reads. Fixed in every file.

#include <cstdint>

namespace tessel::aaf::pid {

using Pid = std::uint16_t;

// Root storage (not an AAF class).
constexpr Pid kRootMetaDictionary = 0x0001;
constexpr Pid kRootHeader = 0x0002;

// MetaDictionary, MetaDefinition, ClassDefinition.
constexpr Pid kClassDefinitions = 0x0003;
constexpr Pid kTypeDefinitions = 0x0004;
constexpr Pid kMetaIdentification = 0x0005;
constexpr Pid kMetaName = 0x0006;
constexpr Pid kParentClass = 0x0008;

// Header, ContentStorage, Dictionary.
constexpr Pid kByteOrder = 0x3B01;
constexpr Pid kContent = 0x3B03;
constexpr Pid kDictionary = 0x3B04;
constexpr Pid kIdentificationList = 0x3B06;
constexpr Pid kMobs = 0x1901;
constexpr Pid kOperationDefinitions = 0x2603;
constexpr Pid kParameterDefinitions = 0x2604;
constexpr Pid kDataDefinitions = 0x2605;

// Identification.
constexpr Pid kCompanyName = 0x3C01;
constexpr Pid kProductName = 0x3C02;
constexpr Pid kProductVersion = 0x3C03;
constexpr Pid kProductVersionString = 0x3C04;
constexpr Pid kProductID = 0x3C05;
constexpr Pid kDate = 0x3C06;
constexpr Pid kPlatform = 0x3C08;

// Mob, SourceMob, MobSlot, TimelineMobSlot, EventMobSlot.
constexpr Pid kMobID = 0x4401;
constexpr Pid kMobName = 0x4402;
constexpr Pid kSlots = 0x4403;
constexpr Pid kEssenceDescription = 0x4701;
constexpr Pid kSlotID = 0x4801;
constexpr Pid kSlotName = 0x4802;
constexpr Pid kSegment = 0x4803;
constexpr Pid kPhysicalTrackNumber = 0x4804;
constexpr Pid kTimelineEditRate = 0x4B01;
constexpr Pid kTimelineOrigin = 0x4B02;
constexpr Pid kEventEditRate = 0x4901;

// Component and its subclasses.
constexpr Pid kDataDefinition = 0x0201;
constexpr Pid kLength = 0x0202;
constexpr Pid kComponents = 0x1001;
constexpr Pid kSourceID = 0x1101;
constexpr Pid kSourceMobSlotID = 0x1102;
constexpr Pid kStartTime = 0x1201;
constexpr Pid kTransitionOperationGroup = 0x1801;
constexpr Pid kCutPoint = 0x1802;
constexpr Pid kOperation = 0x0B01;
constexpr Pid kInputSegments = 0x0B02;
constexpr Pid kParameters = 0x0B03;
constexpr Pid kRendering = 0x0B05;
constexpr Pid kPulldownInput = 0x0D01;
constexpr Pid kEssenceGroupChoices = 0x0501;
constexpr Pid kNestedScopeSlots = 0x0C01;
constexpr Pid kSelected = 0x0F01;
constexpr Pid kAlternates = 0x0F02;
constexpr Pid kTimecodeStart = 0x1501;
constexpr Pid kTimecodeFPS = 0x1502;
constexpr Pid kTimecodeDrop = 0x1503;

// Parameters and definitions.
constexpr Pid kParameterDefinition = 0x4C01;
constexpr Pid kConstantValue = 0x4D01;
constexpr Pid kDefIdentification = 0x1B01;
constexpr Pid kDefName = 0x1B02;

// Essence descriptors and locators.
constexpr Pid kLocator = 0x2F01;
constexpr Pid kSampleRate = 0x3001;
constexpr Pid kFileLength = 0x3002;
constexpr Pid kWaveSummary = 0x3801;
constexpr Pid kStoredHeight = 0x3202;
constexpr Pid kStoredWidth = 0x3203;
constexpr Pid kVideoLineMap = 0x320D;
constexpr Pid kImageAspectRatio = 0x320E;
constexpr Pid kURLString = 0x4001;
constexpr Pid kTextLocatorName = 0x4101;

}  // namespace tessel::aaf::pid
