#include "model/track.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "model/clip_item.h"
#include "model/clip_registry.h"
#include "model/edit_arithmetic.h"
#include "model/interchange.h"
#include "model/log.h"
#include "model/sequence.h"
#include "model/source_clip_census.h"

namespace {

// The speed ratio of an operation group, when it has one that can be used.
struct SpeedRatio {
    aafRational_t ratio{1, 1};
    bool found = false;
};

SpeedRatio ReadSpeedRatio(const IAAFOperationGroup& group) {
    SpeedRatio speed;
    std::shared_ptr<IEnumAAFParameters> parameters;
    // A group whose parameters cannot be enumerated has no speed ratio.
    if (AAFRESULT_FAILED(group.GetParameters(parameters)) || !parameters) {
        return speed;
    }
    std::shared_ptr<IAAFParameter> parameter;
    while (AAFRESULT_SUCCEEDED(parameters->NextOne(parameter)) && parameter) {
        aafUID_t definitionId{};
        std::shared_ptr<IAAFParameterDef> definition;
        if (AAFRESULT_SUCCEEDED(parameter->GetParameterDefinition(definition)) && definition) {
            definition->GetAUID(definitionId);
        }
        if (definitionId == kAAFParameterDef_SpeedRatio) {
            // A ratio that is not a constant Rational leaves 1/1, still counted as found.
            speed.found = true;
            std::shared_ptr<IAAFConstantValue> constant;
            if (AAFRESULT_SUCCEEDED(QueryInterface(parameter, constant))) {
                aafUID_t typeId{};
                std::shared_ptr<IAAFTypeDef> type;
                if (AAFRESULT_SUCCEEDED(constant->GetTypeDefinition(type)) && type) {
                    type->GetAUID(typeId);
                }
                if (typeId == kAAFTypeID_Rational) {
                    std::array<aafUInt8, sizeof(aafInt32) * 2> value{};
                    aafUInt32 bytesRead = 0;
                    if (AAFRESULT_SUCCEEDED(constant->GetValue(value, bytesRead))) {
                        std::memcpy(&speed.ratio.numerator, value.data(), sizeof(aafInt32));
                        std::memcpy(&speed.ratio.denominator, value.data() + sizeof(aafInt32),
                                    sizeof(aafInt32));
                    } else {
                        speed.found = false;
                    }
                }
            }
        }
        parameter.reset();
    }
    // A zero denominator makes the ratio undefined: the clip plays as if it had none.
    if (speed.found && speed.ratio.denominator == 0) {
        speed = SpeedRatio{};
    }
    return speed;
}

// |value|, with the one value whose magnitude does not fit held at the largest that does.
int32_t Magnitude(int32_t value) {
    return value == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                        : std::abs(value);
}

// Why a component holding source clips gets no item, said for the user.
std::string ReasonNotCarried(const std::string& kind, bool insideEffect) {
    if (insideEffect) {
        if (kind == "Sequence") {
            return "nested sequence inside an effect";
        }
        if (kind == "OperationGroup") {
            return "effect inside another effect";
        }
        return kind + " inside an effect";
    }
    if (kind == "Sequence") {
        return "nested sequence";
    }
    if (kind == "Selector") {
        return "alternative takes (only single clips are read)";
    }
    if (kind == "NestedScope") {
        return "nested track layers";
    }
    if (kind == "EssenceGroup") {
        return "alternative media of one clip";
    }
    if (kind == "Transition") {
        return "source clip inside a transition";
    }
    if (kind == "OperationGroup") {
        return "rendered or extra part of an effect";
    }
    return kind + " is not read";
}

}  // namespace

FCTrackBase::FCTrackBase(int32_t mediaKind_, int32_t number_, FCSequence* owner_,
                         const std::shared_ptr<IAAFMobSlot>& slot)
    : number(number_), owner(owner_), mediaKind(mediaKind_) {
    if (!slot) {
        return;
    }
    std::shared_ptr<IAAFSegment> segment;
    if (AAFRESULT_SUCCEEDED(slot->GetSegment(segment)) && segment &&
        AAFRESULT_FAILED(QueryInterface(segment, sequence))) {
        // A slot holding a single component is read as a sequence of that one component, so
        // its clip is kept.
        loneComponent_ = segment;
    }
    if (segment) {
        sourceClipsInSlot = CountSourceClips(*segment);
    }
    slot->GetPhysicalNum(physicalNumber);
    slot->GetSlotID(slotId);
}

FCTrackBase::~FCTrackBase() = default;

std::pmr::memory_resource* FCTrackBase::ClipItemArena() const {
    return owner != nullptr && owner->owner != nullptr ? &owner->owner->ClipItemArena() : nullptr;
}

void FCTrackBase::NumberItems(const TitleDocumentReader& readTitle) {
    // The transition item that follows a clip in the written track takes the number after it.
    int32_t next = 1;
    for (const ClipItemPtr& item : clipItems) {
        item->itemIndex = next++;
        if (item->hasTransition) {
            ++next;
        }
    }
    for (const ClipItemPtr& item : clipItems) {
        item->ResolveLinks(readTitle);
    }
}

FCClipItemBase* FCTrackBase::AppendClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                                            aafPosition_t recordStart) {
    FCClipItemBase* item = clipItems.emplace_back(CreateClipItem(sourceClip, recordStart)).get();
    if (item->mediaKind == kMediaVideo) {
        RegisterClipItem(g_videoClipsByPath, item);
    } else if (item->mediaKind == kMediaAudio) {
        RegisterClipItem(g_audioClipsByPath, item);
    }
    return item;
}

void FCTrackBase::BuildClipItemsOf(const char* kindWord) {
    aafUInt32 count = 0;
    if (sequence) {
        sequence->CountComponents(count);
    } else if (loneComponent_) {
        count = 1;
    }
    LogLine("Processing " + std::to_string(count) + " ClipItems at current " + kindWord + " track.",
            kLogProgress);

    aafPosition_t position = 0;
    // Source clips given an item or noted as left out so far.
    uint64_t accounted = 0;
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFComponent> component = loneComponent_;
        // A component that cannot be fetched is skipped and does not move the position.
        if (sequence && (AAFRESULT_FAILED(sequence->GetComponentAt(i, component)) || !component)) {
            continue;
        }
        aafLength_t length = 0;
        component->GetLength(length);

        std::shared_ptr<IAAFSourceClip> sourceClip;
        uint64_t carried = 0;
        if (AAFRESULT_SUCCEEDED(QueryInterface(component, sourceClip))) {
            AppendClipItem(sourceClip, position);
            carried = 1;
        }
        std::shared_ptr<IAAFOperationGroup> group;
        if (AAFRESULT_SUCCEEDED(QueryInterface(component, group))) {
            carried = AddOperationGroup(*group, position);
        }
        // A plain source clip holds no other; everything else is counted to see what it holds
        // beyond the items made of it.
        const uint64_t held = sourceClip ? 1 : CountSourceClips(*component);
        if (held > carried) {
            NoteNotCarried(component.get(), position, held - carried,
                           ReasonNotCarried(ComponentKindName(component.get()), false));
        }
        accounted += std::max(held, carried);
        std::shared_ptr<IAAFTransition> transition;
        if (AAFRESULT_SUCCEEDED(QueryInterface(component, transition)) && !clipItems.empty()) {
            // A transition belongs to the clip before it and overlaps it: the next clip starts
            // that much earlier.
            FCClipItemBase& last = *clipItems.back();
            aafPosition_t cutPoint = 0;
            transition->GetCutPoint(cutPoint);
            last.transitionLength = length;
            last.transitionCutPoint = cutPoint;
            last.hasTransition = true;
            position = WrappingSubtract(position, length);
        } else {
            // Lengths come from the file: positions wrap around as the writers' arithmetic does.
            position = WrappingAdd(position, length);
        }
    }
    // What the walk could not reach (components that could not be fetched) is still told.
    if (sourceClipsInSlot > accounted) {
        NoteNotCarried(nullptr, 0, sourceClipsInSlot - accounted,
                       "part of the track that could not be read");
    }
}

void FCTrackBase::NoteNotCarried(const IAAFComponent* component, aafPosition_t position,
                                 uint64_t sourceClips, const std::string& reason) {
    FCNotCarried& note = notCarried.emplace_back();
    note.position = position;
    if (component != nullptr) {
        component->GetLength(note.length);
    } else if (sequence) {
        sequence->GetLength(note.length);
    }
    note.kind = ComponentKindName(component);
    note.sourceClips = sourceClips;
    note.reason = reason;
}

uint64_t FCTrackBase::AddOperationGroup(const IAAFOperationGroup& group, aafPosition_t position) {
    const SpeedRatio speed = ReadSpeedRatio(group);
    aafUInt32 count = 0;
    group.CountSourceSegments(count);
    uint64_t accounted = 0;
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFSegment> input;
        std::shared_ptr<IAAFSourceClip> sourceClip;
        if (AAFRESULT_FAILED(group.GetInputSegmentAt(i, input)) || !input) {
            continue;
        }
        if (AAFRESULT_FAILED(QueryInterface(input, sourceClip))) {
            // Every input starts where the group starts.
            if (const uint64_t held = CountSourceClips(*input); held > 0) {
                NoteNotCarried(input.get(), position, held,
                               ReasonNotCarried(ComponentKindName(input.get()), true));
                accounted += held;
            }
            continue;
        }
        ++accounted;
        // Every input starts where the group starts.
        FCClipItemBase* item = AppendClipItem(sourceClip, position);
        if (speed.found) {
            item->speedNumerator = Magnitude(speed.ratio.numerator);
            item->speedDenominator = Magnitude(speed.ratio.denominator);
            item->reverse = !(static_cast<double>(speed.ratio.numerator) /
                                  static_cast<double>(speed.ratio.denominator) >
                              0.0);
        }
    }
    return accounted;
}

FCAudioTrack::FCAudioTrack(int32_t number_, FCSequence* owner_,
                           const std::shared_ptr<IAAFMobSlot>& slot)
    : FCTrackBase(kMediaAudio, number_, owner_, slot) {
    BuildClipItems();
}

void FCAudioTrack::BuildClipItems() {
    BuildClipItemsOf("audio");
}

ClipItemPtr FCAudioTrack::CreateClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                                         aafPosition_t recordStart) {
    return MakeClipItem<FCAudioClipItem>(this, sourceClip, recordStart);
}

FCVideoTrack::FCVideoTrack(int32_t number_, FCSequence* owner_,
                           const std::shared_ptr<IAAFMobSlot>& slot)
    : FCTrackBase(kMediaVideo, number_, owner_, slot) {
    BuildClipItems();
}

void FCVideoTrack::BuildClipItems() {
    BuildClipItemsOf("video");
}

ClipItemPtr FCVideoTrack::CreateClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                                         aafPosition_t recordStart) {
    return MakeClipItem<FCVideoClipItem>(this, sourceClip, recordStart);
}

std::unique_ptr<FCTrackBase> CreateTrack(int32_t kind, const std::shared_ptr<IAAFMobSlot>& slot,
                                         int32_t number, FCSequence* owner) {
    if (kind == kMediaVideo) {
        return std::make_unique<FCVideoTrack>(number, owner, slot);
    }
    if (kind == kMediaAudio) {
        return std::make_unique<FCAudioTrack>(number, owner, slot);
    }
    return nullptr;
}
