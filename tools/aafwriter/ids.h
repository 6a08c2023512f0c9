#pragma once

// AUIDs the fixture writer uses: classes, data definitions, operation, parameter and
// interpolation definitions, and the types of indirect values.

#include <cstdint>

#include "aaf/aaf_types.h"

namespace tessel::aafwriter {

/// A baseline class AUID {0D010101-0101-xx00-060E-2B3402060101}.
constexpr aafUID_t BaselineClass(std::uint8_t code) {
    return {0x0D010101,
            0x0101,
            static_cast<std::uint16_t>(code << 8),
            {0x06, 0x0E, 0x2B, 0x34, 0x02, 0x06, 0x01, 0x01}};
}

/// A baseline type AUID {Data1-0000-0000-060E-2B3401040101}.
constexpr aafUID_t BaselineType(std::uint32_t data1) {
    return {data1, 0, 0, {0x06, 0x0E, 0x2B, 0x34, 0x01, 0x04, 0x01, 0x01}};
}

namespace classes {
inline constexpr aafUID_t kRoot = {
    0xB3B398A5, 0x1C90, 0x11D4, {0x80, 0x53, 0x08, 0x00, 0x36, 0x21, 0x08, 0x04}};
inline constexpr aafUID_t kInterchangeObject = BaselineClass(0x01);
inline constexpr aafUID_t kComponent = BaselineClass(0x02);
inline constexpr aafUID_t kSegment = BaselineClass(0x03);
inline constexpr aafUID_t kEssenceGroup = BaselineClass(0x05);
inline constexpr aafUID_t kCommentMarker = BaselineClass(0x08);
inline constexpr aafUID_t kFiller = BaselineClass(0x09);
inline constexpr aafUID_t kOperationGroup = BaselineClass(0x0A);
inline constexpr aafUID_t kNestedScope = BaselineClass(0x0B);
inline constexpr aafUID_t kSelector = BaselineClass(0x0E);
inline constexpr aafUID_t kSequence = BaselineClass(0x0F);
inline constexpr aafUID_t kSourceClip = BaselineClass(0x11);
inline constexpr aafUID_t kTimecode = BaselineClass(0x14);
inline constexpr aafUID_t kTransition = BaselineClass(0x17);
inline constexpr aafUID_t kContentStorage = BaselineClass(0x18);
inline constexpr aafUID_t kControlPoint = BaselineClass(0x19);
inline constexpr aafUID_t kDataDefinition = BaselineClass(0x1B);
inline constexpr aafUID_t kOperationDefinition = BaselineClass(0x1C);
inline constexpr aafUID_t kParameterDefinition = BaselineClass(0x1D);
inline constexpr aafUID_t kInterpolationDefinition = BaselineClass(0x21);
inline constexpr aafUID_t kDictionary = BaselineClass(0x22);
inline constexpr aafUID_t kEssenceDescriptor = BaselineClass(0x24);
inline constexpr aafUID_t kFileDescriptor = BaselineClass(0x25);
inline constexpr aafUID_t kAIFCDescriptor = BaselineClass(0x26);
inline constexpr aafUID_t kDigitalImageDescriptor = BaselineClass(0x27);
inline constexpr aafUID_t kCDCIDescriptor = BaselineClass(0x28);
inline constexpr aafUID_t kRGBADescriptor = BaselineClass(0x29);
inline constexpr aafUID_t kWAVEDescriptor = BaselineClass(0x2C);
inline constexpr aafUID_t kTapeDescriptor = BaselineClass(0x2E);
inline constexpr aafUID_t kHeader = BaselineClass(0x2F);
inline constexpr aafUID_t kIdentification = BaselineClass(0x30);
inline constexpr aafUID_t kNetworkLocator = BaselineClass(0x32);
inline constexpr aafUID_t kTextLocator = BaselineClass(0x33);
inline constexpr aafUID_t kMob = BaselineClass(0x34);
inline constexpr aafUID_t kCompositionMob = BaselineClass(0x35);
inline constexpr aafUID_t kMasterMob = BaselineClass(0x36);
inline constexpr aafUID_t kSourceMob = BaselineClass(0x37);
inline constexpr aafUID_t kMobSlot = BaselineClass(0x38);
inline constexpr aafUID_t kEventMobSlot = BaselineClass(0x39);
inline constexpr aafUID_t kStaticMobSlot = BaselineClass(0x3A);
inline constexpr aafUID_t kTimelineMobSlot = BaselineClass(0x3B);
inline constexpr aafUID_t kParameter = BaselineClass(0x3C);
inline constexpr aafUID_t kConstantValue = BaselineClass(0x3D);
inline constexpr aafUID_t kVaryingValue = BaselineClass(0x3E);
inline constexpr aafUID_t kSoundDescriptor = BaselineClass(0x42);
inline constexpr aafUID_t kPCMDescriptor = BaselineClass(0x48);
inline constexpr aafUID_t kMetaDictionary = {
    0x0D010101, 0x0225, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x02, 0x06, 0x01, 0x01}};
inline constexpr aafUID_t kClassDefinition = {
    0x0D010101, 0x0201, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x02, 0x06, 0x01, 0x01}};
inline constexpr aafUID_t kPropertyDefinition = {
    0x0D010101, 0x0202, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x02, 0x06, 0x01, 0x01}};
}  // namespace classes

namespace datadefs {
inline constexpr aafUID_t kPicture = {
    0x01030202, 0x0100, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};
inline constexpr aafUID_t kLegacyPicture = {
    0x6F3C8CE1, 0x6CEF, 0x11D2, {0x80, 0x7D, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kMatte = {
    0x05CBA731, 0x1DAA, 0x11D3, {0x80, 0xAD, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kPictureWithMatte = {
    0x05CBA732, 0x1DAA, 0x11D3, {0x80, 0xAD, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kSound = {
    0x01030202, 0x0200, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};
inline constexpr aafUID_t kLegacySound = {
    0x78E1EBE1, 0x6CEF, 0x11D2, {0x80, 0x7D, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kTimecode = {
    0x01030201, 0x0100, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};
inline constexpr aafUID_t kLegacyTimecode = {
    0x7F275E81, 0x77E5, 0x11D2, {0x80, 0x7F, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kEdgecode = {
    0xD2BB2AF0, 0xD234, 0x11D2, {0x89, 0xEE, 0x00, 0x60, 0x97, 0x11, 0x62, 0x12}};
inline constexpr aafUID_t kDescriptiveMetadata = {
    0x01030201, 0x1000, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};
inline constexpr aafUID_t kAuxiliary = {
    0x01030203, 0x0100, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x05}};
inline constexpr aafUID_t kDataEssence = {
    0x01030202, 0x0300, 0x0000, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};
inline constexpr aafUID_t kUnknown = {
    0x851419D0, 0x2E4F, 0x11D3, {0x8A, 0x5B, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
}  // namespace datadefs

namespace operations {
inline constexpr aafUID_t kVideoDissolve = {
    0x0C3BEA40, 0xFC05, 0x11D2, {0x8A, 0x29, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
inline constexpr aafUID_t kAudioDissolve = {
    0x0C3BEA41, 0xFC05, 0x11D2, {0x8A, 0x29, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
inline constexpr aafUID_t kVideoSpeedControl = {
    0x9D2EA890, 0x0968, 0x11D3, {0x8A, 0x38, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
inline constexpr aafUID_t kAudioGain = {
    0x9D2EA894, 0x0968, 0x11D3, {0x8A, 0x38, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
}  // namespace operations

namespace parameters {
inline constexpr aafUID_t kSpeedRatio = {
    0x72559A80, 0x24D7, 0x11D3, {0x8A, 0x50, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
inline constexpr aafUID_t kLevel = {
    0xE4962320, 0x2267, 0x11D3, {0x8A, 0x4C, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
inline constexpr aafUID_t kAmplitude = {
    0xE4962321, 0x2267, 0x11D3, {0x8A, 0x4C, 0x00, 0x50, 0x04, 0x0E, 0xF7, 0xD2}};
}  // namespace parameters

namespace interpolations {
inline constexpr aafUID_t kLinear = {
    0x5B6C85A4, 0x0EDE, 0x11D3, {0x80, 0xA9, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
inline constexpr aafUID_t kConstant = {
    0x5B6C85A5, 0x0EDE, 0x11D3, {0x80, 0xA9, 0x00, 0x60, 0x08, 0x14, 0x3E, 0x6F}};
}  // namespace interpolations

namespace types {
inline constexpr aafUID_t kUInt8 = BaselineType(0x01010100);
inline constexpr aafUID_t kUInt16 = BaselineType(0x01010200);
inline constexpr aafUID_t kUInt32 = BaselineType(0x01010300);
inline constexpr aafUID_t kInt8 = BaselineType(0x01010500);
inline constexpr aafUID_t kInt16 = BaselineType(0x01010600);
inline constexpr aafUID_t kInt32 = BaselineType(0x01010700);
inline constexpr aafUID_t kInt64 = BaselineType(0x01010800);
inline constexpr aafUID_t kBoolean = BaselineType(0x01040100);
inline constexpr aafUID_t kRational = BaselineType(0x03010100);
inline constexpr aafUID_t kString = BaselineType(0x01100200);
inline constexpr aafUID_t kAUID = BaselineType(0x01030100);
}  // namespace types

/// Property ids (the same in every file for baseline properties).
namespace pids {
inline constexpr std::uint16_t kComponentDataDefinition = 0x0201;
inline constexpr std::uint16_t kComponentLength = 0x0202;
inline constexpr std::uint16_t kOperation = 0x0B01;
inline constexpr std::uint16_t kInputSegments = 0x0B02;
inline constexpr std::uint16_t kParameters = 0x0B03;
inline constexpr std::uint16_t kComponents = 0x1001;
inline constexpr std::uint16_t kSourceID = 0x1101;
inline constexpr std::uint16_t kSourceMobSlotID = 0x1102;
inline constexpr std::uint16_t kStartTime = 0x1201;
inline constexpr std::uint16_t kTimecodeStart = 0x1501;
inline constexpr std::uint16_t kTimecodeFPS = 0x1502;
inline constexpr std::uint16_t kTimecodeDrop = 0x1503;
inline constexpr std::uint16_t kTransitionOperationGroup = 0x1801;
inline constexpr std::uint16_t kCutPoint = 0x1802;
inline constexpr std::uint16_t kMobs = 0x1901;
inline constexpr std::uint16_t kControlPointValue = 0x1A02;
inline constexpr std::uint16_t kControlPointTime = 0x1A03;
inline constexpr std::uint16_t kLocators = 0x2F01;
inline constexpr std::uint16_t kSampleRate = 0x3001;
inline constexpr std::uint16_t kDescriptorLength = 0x3002;
inline constexpr std::uint16_t kAifcSummary = 0x3101;
inline constexpr std::uint16_t kStoredHeight = 0x3202;
inline constexpr std::uint16_t kStoredWidth = 0x3203;
inline constexpr std::uint16_t kFrameLayout = 0x320C;
inline constexpr std::uint16_t kVideoLineMap = 0x320D;
inline constexpr std::uint16_t kImageAspectRatio = 0x320E;
inline constexpr std::uint16_t kComponentWidth = 0x3301;
inline constexpr std::uint16_t kHorizontalSubsampling = 0x3302;
inline constexpr std::uint16_t kPixelLayout = 0x3401;
inline constexpr std::uint16_t kWaveSummary = 0x3801;
inline constexpr std::uint16_t kQuantizationBits = 0x3D01;
inline constexpr std::uint16_t kAudioSamplingRate = 0x3D03;
inline constexpr std::uint16_t kChannels = 0x3D07;
inline constexpr std::uint16_t kAverageBPS = 0x3D09;
inline constexpr std::uint16_t kBlockAlign = 0x3D0A;
inline constexpr std::uint16_t kByteOrder = 0x3B01;
inline constexpr std::uint16_t kLastModified = 0x3B02;
inline constexpr std::uint16_t kContent = 0x3B03;
inline constexpr std::uint16_t kDictionary = 0x3B04;
inline constexpr std::uint16_t kVersion = 0x3B05;
inline constexpr std::uint16_t kIdentificationList = 0x3B06;
inline constexpr std::uint16_t kObjectModelVersion = 0x3B07;
inline constexpr std::uint16_t kCompanyName = 0x3C01;
inline constexpr std::uint16_t kProductName = 0x3C02;
inline constexpr std::uint16_t kProductVersion = 0x3C03;
inline constexpr std::uint16_t kProductVersionString = 0x3C04;
inline constexpr std::uint16_t kProductID = 0x3C05;
inline constexpr std::uint16_t kDate = 0x3C06;
inline constexpr std::uint16_t kToolkitVersion = 0x3C07;
inline constexpr std::uint16_t kPlatform = 0x3C08;
inline constexpr std::uint16_t kGenerationAUID = 0x3C09;
inline constexpr std::uint16_t kURLString = 0x4001;
inline constexpr std::uint16_t kTextLocatorName = 0x4101;
inline constexpr std::uint16_t kMobID = 0x4401;
inline constexpr std::uint16_t kMobName = 0x4402;
inline constexpr std::uint16_t kSlots = 0x4403;
inline constexpr std::uint16_t kMobLastModified = 0x4404;
inline constexpr std::uint16_t kCreationTime = 0x4405;
inline constexpr std::uint16_t kUsageCode = 0x4408;
inline constexpr std::uint16_t kEssenceDescription = 0x4701;
inline constexpr std::uint16_t kSlotID = 0x4801;
inline constexpr std::uint16_t kSlotName = 0x4802;
inline constexpr std::uint16_t kSegment = 0x4803;
inline constexpr std::uint16_t kPhysicalTrackNumber = 0x4804;
inline constexpr std::uint16_t kEventEditRate = 0x4901;
inline constexpr std::uint16_t kEditRate = 0x4B01;
inline constexpr std::uint16_t kOrigin = 0x4B02;
inline constexpr std::uint16_t kParameterDefinition = 0x4C01;
inline constexpr std::uint16_t kConstantValue = 0x4D01;
inline constexpr std::uint16_t kInterpolation = 0x4E01;
inline constexpr std::uint16_t kPointList = 0x4E02;
}  // namespace pids

}  // namespace tessel::aafwriter
