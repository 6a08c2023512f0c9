#include "random_edit.h"

#include <algorithm>
#include <array>

namespace tessel::mkaaf {
namespace {

using nlohmann::json;

/// splitmix64: tiny, fast and the same everywhere (the standard distributions are not).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// A number from `low` to `high`, both included.
    std::int64_t Between(std::int64_t low, std::int64_t high) {
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        return low + static_cast<std::int64_t>(Next() % span);
    }
    /// True with `percent` percent.
    bool Chance(int percent) { return Between(0, 99) < percent; }

  private:
    std::uint64_t state_;
};

struct Rate {
    std::int32_t numerator, denominator;
    std::uint16_t fps;
    bool drop;
};

constexpr std::array<Rate, 5> kRates = {{
    {25, 1, 25, false},
    {30000, 1001, 30, true},
    {24000, 1001, 24, false},
    {50, 1, 50, false},
    {30000, 1001, 30, false},
}};

json RateJson(const Rate& r) {
    return json::array({r.numerator, r.denominator});
}

std::string Number(std::int64_t n, int width) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < width) {
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    }
    return s;
}

enum class MediaKind { kVideo, kMusic, kStill, kTitle, kMatte, kBars };

struct Media {
    std::string id;
    MediaKind kind;
    std::int64_t length;
};

/// Builds the media pool and the timelines; every clip placed counts against the budget.
class Generator {
  public:
    Generator(std::uint64_t seed, std::int64_t clips) : random_(seed), budget_(clips) {}

    RandomEdit Make(std::uint32_t sectorSize) {
        RandomEdit edit;
        json& d = edit.description;
        d["format"] = {
            {"sector_size", sectorSize},
            {"identification", json::array({{{"company", "Grass Valley"},
                                             {"product", "EDIUS (tessel-mkaaf random edit)"},
                                             {"version", "10.0"},
                                             {"platform", "Windows"}}})}};
        const std::int64_t sequences = std::clamp<std::int64_t>(2 + budget_ / 25000, 2, 8);
        rate_ = kRates[static_cast<std::size_t>(
            random_.Between(0, static_cast<std::int64_t>(kRates.size()) - 1))];
        MakeMediaPool(std::max<std::int64_t>(8, budget_ / 40), edit);
        d["media"] = std::move(media_json_);
        json compositions = json::array();
        for (std::int64_t s = 0; s < sequences; ++s) {
            const std::int64_t share = s + 1 == sequences ? budget_ : budget_ / (sequences - s);
            compositions.push_back(MakeSequence(s, share));
        }
        d["compositions"] = std::move(compositions);
        return edit;
    }

  private:
    struct TrackState {
        json components = json::array();
        std::int64_t end = 0;          // record position after the last component
        bool endsWithSegment = false;  // a transition may follow
    };

    void AddMedia(const std::string& id, MediaKind kind, json entry, std::int64_t length) {
        entry["id"] = id;
        entry["edit_rate"] = RateJson(rate_);
        entry["length"] = length;
        media_json_.push_back(std::move(entry));
        media_.push_back({id, kind, length});
        byKind_[static_cast<std::size_t>(kind)].push_back(media_.size() - 1);
    }

    void MakeMediaPool(std::int64_t count, RandomEdit& edit) {
        static constexpr const char* kExtensions[] = {".avi", ".mov", ".mp4", ".AVI", ".mxf"};
        static constexpr const char* kFonts[] = {"Arial", "Arial Black", "Meiryo", "Verdana"};
        for (std::int64_t i = 1; i <= count; ++i) {
            const std::int64_t roll = random_.Between(0, 99);
            const std::string n = Number(i, 4);
            if (roll < 62 || i <= 2) {
                const char* ext = kExtensions[random_.Between(0, 4)];
                const bool hd = random_.Chance(80);
                json picture = {
                    {"stored_width", hd ? 1920 : 720},
                    {"stored_height", hd ? 1080 : 576},
                    {"aspect_ratio", hd ? json::array({16, 9}) : json::array({4, 3})},
                    {"line_map", random_.Chance(70) ? json::array({21, 584}) : json::array({42})}};
                AddMedia("v" + n, MediaKind::kVideo,
                         {{"name", "Clip " + n},
                          {"path", std::string("D:\\EDIUS\\Project\\Media\\clip_") + n + ext},
                          {"picture", picture},
                          {"sound_slots", 2},
                          {"sound", {{"channels", 2}, {"sample_rate", 48000}, {"bits", 16}}}},
                         random_.Between(750, 15000));
            } else if (roll < 72) {
                AddMedia("m" + n, MediaKind::kMusic,
                         {{"name", "Music " + n},
                          {"path", "D:\\EDIUS\\Project\\Audio\\music_" + n + ".wav"},
                          {"picture", false},
                          {"sound_slots", 2},
                          {"sound", {{"channels", 2}, {"sample_rate", 48000}, {"bits", 24}}}},
                         random_.Between(3000, 20000));
            } else if (roll < 80) {
                const bool png = random_.Chance(50);
                AddMedia(
                    "s" + n, MediaKind::kStill,
                    {{"name", "Still " + n},
                     {"path", "D:\\EDIUS\\Project\\Stills\\still_" + n + (png ? ".png" : ".jpg")},
                     {"picture", {{"line_map", json::array({0})}}}},
                    1);
            } else if (roll < 90) {
                TitleDocument title{"Title_" + n + ".etl", "Title " + n,
                                    kFonts[random_.Between(0, 3)],
                                    static_cast<int>(random_.Between(18, 72))};
                AddMedia("t" + n, MediaKind::kTitle,
                         {{"name", "Title " + n},
                          {"path", "D:\\EDIUS\\Project\\Titles\\" + title.fileName}},
                         random_.Between(150, 3000));
                edit.titles.push_back(std::move(title));
            } else if (roll < 95) {
                AddMedia("c" + n, MediaKind::kMatte,
                         {{"name", "Color Matte " + n}, {"slot_name", "Color Matte"}},
                         random_.Between(1000, 9000));
            } else {
                AddMedia("b" + n, MediaKind::kBars,
                         {{"name", "Bars " + n},
                          {"slot_name", "Bars and Tone"},
                          {"sound_slots", 1},
                          {"sound", {{"channels", 1}}}},
                         random_.Between(1000, 9000));
            }
        }
    }

    const Media* Pick(MediaKind kind) {
        const auto& list = byKind_[static_cast<std::size_t>(kind)];
        if (list.empty()) {
            return nullptr;
        }
        return &media_[list[static_cast<std::size_t>(
            random_.Between(0, static_cast<std::int64_t>(list.size()) - 1))]];
    }

    json Clip(const Media& media, std::int64_t length, std::int64_t start, int soundIndex = -1) {
        json c = {{"type", "clip"}, {"media", media.id}, {"length", length}, {"start", start}};
        if (soundIndex >= 0) {
            c["sound_index"] = soundIndex;
        }
        --budget_;
        return c;
    }

    static void Put(TrackState& track, json component, std::int64_t length, bool segment) {
        track.components.push_back(std::move(component));
        track.end += length;
        track.endsWithSegment = segment;
    }

    static void PadTo(TrackState& track, std::int64_t position) {
        if (track.end < position) {
            Put(track, {{"type", "filler"}, {"length", position - track.end}}, position - track.end,
                false);
        }
    }

    /// Length and source start of a clip of `media`.
    std::pair<std::int64_t, std::int64_t> Span(const Media& media) {
        if (media.length <= 1) {
            return {random_.Between(50, 250), 0};
        }
        const std::int64_t length = std::min<std::int64_t>(media.length, random_.Between(25, 300));
        return {length, random_.Between(0, media.length - length)};
    }

    json MakeSequence(std::int64_t index, std::int64_t share) {
        const std::int64_t stop = budget_ - share;  // this sequence's clips are used up here
        std::array<TrackState, 6> tracks;           // V1 V2 A1 A2 A3 A4
        TrackState& v1 = tracks[0];
        TrackState& v2 = tracks[1];
        TrackState& a1 = tracks[2];
        TrackState& a2 = tracks[3];
        bool audioFollows = false;  // A1/A2 end exactly where V1 does, with the same clip's sound
        while (budget_ > stop) {
            const std::int64_t roll = random_.Between(0, 99);
            if (roll < 8) {
                const std::int64_t gap = random_.Between(5, 100);
                Put(v1, {{"type", "filler"}, {"length", gap}}, gap, false);
                audioFollows = false;
                continue;
            }
            if (roll < 20 && v1.endsWithSegment) {
                // A dissolve into the next video clip; the linked sound cross-fades along.
                const Media* media = Pick(MediaKind::kVideo);
                auto [length, start] = Span(*media);
                const std::int64_t fade =
                    std::min<std::int64_t>(random_.Between(5, 30), length / 2);
                const std::int64_t previous = v1.components.back()["length"].get<std::int64_t>();
                if (fade >= previous || fade < 1) {
                    continue;
                }
                const bool withAudio = audioFollows;
                Put(v1, {{"type", "transition"}, {"length", fade}, {"cut_point", fade / 2}}, -fade,
                    false);
                if (withAudio) {
                    for (TrackState* a : {&a1, &a2}) {
                        Put(*a, {{"type", "transition"}, {"length", fade}, {"cut_point", fade / 2}},
                            -fade, false);
                    }
                }
                PlaceVideo(*media, length, start, v1, withAudio ? &a1 : nullptr,
                           withAudio ? &a2 : nullptr, audioFollows);
                continue;
            }
            if (roll < 30) {
                // A speed change: faster, slower or reversed; its sound changes speed with it.
                const Media* media = Pick(MediaKind::kVideo);
                auto [length, start] = Span(*media);
                static constexpr std::array<std::array<std::int32_t, 2>, 6> kSpeeds = {
                    {{2, 1}, {1, 2}, {-1, 1}, {3, 2}, {-2, 1}, {1, 4}}};
                const auto& speed = kSpeeds[static_cast<std::size_t>(random_.Between(0, 5))];
                const std::int64_t at = std::max({v1.end, a1.end, a2.end});
                PadTo(v1, at);
                json group = Clip(*media, length, start);
                group["type"] = "speed";
                group["speed"] = json::array({speed[0], speed[1]});
                Put(v1, group, length, true);
                if (random_.Chance(60)) {
                    for (int ch = 0; ch < 2; ++ch) {
                        TrackState& a = ch == 0 ? a1 : a2;
                        PadTo(a, at);
                        json sound = Clip(*media, length, start, ch);
                        sound["type"] = "speed";
                        sound["speed"] = json::array({speed[0], speed[1]});
                        Put(a, sound, length, true);
                    }
                    audioFollows = true;
                } else {
                    audioFollows = false;
                }
                continue;
            }
            if (roll < 40) {
                PlaceOverlay(v2, std::max(v1.end - 200, std::int64_t{0}));
                continue;
            }
            if (roll < 45) {
                PlaceGenerator(v1, a1, a2, audioFollows);
                continue;
            }
            if (roll < 52) {
                PlaceMusic(tracks[4 + static_cast<std::size_t>(random_.Between(0, 1))]);
                continue;
            }
            const Media* media = Pick(MediaKind::kVideo);
            auto [length, start] = Span(*media);
            const std::int64_t at = std::max({v1.end, a1.end, a2.end});
            PadTo(v1, at);
            PadTo(a1, at);
            PadTo(a2, at);
            const bool linked = random_.Chance(90);
            PlaceVideo(*media, length, start, v1, linked ? &a1 : nullptr, linked ? &a2 : nullptr,
                       audioFollows);
        }

        json composition;
        composition["name"] = "Sequence " + std::to_string(index + 1);
        std::int64_t longest = 0;
        for (const TrackState& t : tracks) {
            longest = std::max(longest, t.end);
        }
        json slots = json::array();
        slots.push_back({{"kind", "timecode"},
                         {"name", "TC1"},
                         {"edit_rate", RateJson(rate_)},
                         {"start", static_cast<std::int64_t>(rate_.fps) * 3600},
                         {"fps", rate_.fps},
                         {"drop", rate_.drop},
                         {"length", longest}});
        static constexpr const char* kNames[] = {"V1", "V2", "A1", "A2", "A3", "A4"};
        for (std::size_t t = 0; t < tracks.size(); ++t) {
            const bool picture = t < 2;
            slots.push_back({{"kind", picture ? "picture" : "sound"},
                             {"name", kNames[t]},
                             {"physical_number", picture ? t + 1 : t - 1},
                             {"edit_rate", RateJson(rate_)},
                             {"components", std::move(tracks[t].components)}});
        }
        composition["slots"] = std::move(slots);
        return composition;
    }

    void PlaceVideo(const Media& media, std::int64_t length, std::int64_t start, TrackState& v1,
                    TrackState* a1, TrackState* a2, bool& audioFollows) {
        Put(v1, Clip(media, length, start), length, true);
        audioFollows = a1 != nullptr;
        if (a1 != nullptr) {
            Put(*a1, Clip(media, length, start, 0), length, true);
            Put(*a2, Clip(media, length, start, 1), length, true);
        }
    }

    /// Titles, stills, mattes or a cut-away on V2, somewhere near the end of V1.
    void PlaceOverlay(TrackState& v2, std::int64_t from) {
        PadTo(v2, from + random_.Between(0, 50));
        const std::int64_t roll = random_.Between(0, 99);
        const Media* media = roll < 50   ? Pick(MediaKind::kTitle)
                             : roll < 70 ? Pick(MediaKind::kStill)
                             : roll < 80 ? Pick(MediaKind::kMatte)
                                         : Pick(MediaKind::kVideo);
        if (media == nullptr) {
            return;
        }
        auto [length, start] = Span(*media);
        if (media->kind == MediaKind::kMatte) {
            start = 0;
        }
        Put(v2, Clip(*media, length, start), length, true);
        if (random_.Chance(20)) {
            const std::int64_t fade = std::min<std::int64_t>(10, length / 2);
            const Media* next = Pick(MediaKind::kTitle);
            if (next != nullptr && fade > 0) {
                auto [nextLength, nextStart] = Span(*next);
                if (nextLength > fade) {
                    Put(v2, {{"type", "transition"}, {"length", fade}, {"cut_point", 0}}, -fade,
                        false);
                    Put(v2, Clip(*next, nextLength, nextStart), nextLength, true);
                }
            }
        }
    }

    /// A colour matte or bars and tone (with its tone on A1) on V1.
    void PlaceGenerator(TrackState& v1, TrackState& a1, TrackState& a2, bool& audioFollows) {
        const bool bars = random_.Chance(40);
        const Media* media = Pick(bars ? MediaKind::kBars : MediaKind::kMatte);
        if (media == nullptr) {
            return;
        }
        const std::int64_t length = random_.Between(25, 150);
        const std::int64_t at = std::max({v1.end, a1.end, a2.end});
        PadTo(v1, at);
        Put(v1, Clip(*media, length, 0), length, true);
        audioFollows = false;
        if (bars) {
            PadTo(a1, at);
            Put(a1, Clip(*media, length, 0, 0), length, true);
        }
    }

    void PlaceMusic(TrackState& track) {
        const Media* media = Pick(MediaKind::kMusic);
        if (media == nullptr) {
            return;
        }
        auto [length, start] = Span(*media);
        PadTo(track, track.end + random_.Between(0, 100));
        Put(track, Clip(*media, length, start, static_cast<int>(random_.Between(0, 1))), length,
            true);
    }

    Random random_;
    std::int64_t budget_;
    Rate rate_{};
    json media_json_ = json::array();
    std::vector<Media> media_;
    std::array<std::vector<std::size_t>, 6> byKind_;
};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace

RandomEdit MakeRandomEdit(std::uint64_t seed, std::int64_t clips, std::uint32_t sectorSize) {
    return Generator(seed, std::max<std::int64_t>(clips, 1)).Make(sectorSize);
}

std::string TitleDocumentXml(const TitleDocument& title) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TitleDocument>\n";
    xml += "  <m_nVersion>3</m_nVersion>\n  <m_TitleObList>\n    <CCtsTextObject>\n";
    xml += "      <CCtsTitleObject>\n";
    xml += "        <m_sText>" + Escape(title.text) + "</m_sText>\n";
    xml += "        <m_sFontName>" + Escape(title.fontName) + "</m_sFontName>\n";
    xml += "        <TitleFont><iSize>" + std::to_string(title.fontSize) +
           "</iSize><bBold>0</bBold><bItalic>0</bItalic><bUnderline>0</bUnderline>"
           "<bVertical>0</bVertical></TitleFont>\n";
    xml += "        <m_nColor>16777215</m_nColor>\n";
    xml += "      </CCtsTitleObject>\n    </CCtsTextObject>\n  </m_TitleObList>\n";
    xml += "</TitleDocument>\n";
    return xml;
}

}  // namespace tessel::mkaaf
