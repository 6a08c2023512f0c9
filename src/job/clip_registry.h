#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class FCClipItemBase;

/// Clip items of one media path in registration order; not owned, never empty, never null.
using ClipList = std::vector<FCClipItemBase*>;
/// Media path (compared exactly) to the clip items registered under it.
using ClipRegistry = std::unordered_map<std::string, ClipList>;

/// Video clip items by media path, filled while the tracks are built.
extern ClipRegistry g_videoClipsByPath;
/// Audio clip items by media path, filled while the tracks are built.
extern ClipRegistry g_audioClipsByPath;

/// Appends `clip` to the list of its current `mediaPath`.
void RegisterClipItem(ClipRegistry& registry, FCClipItemBase* clip);

/// The list registered under `path`, or null.
const ClipList* FindClipsByPath(const ClipRegistry& registry, const std::string& path);

/// Replaces a final ".avi" (any letter case) of every registered item's path with ".mov".
/// Keys stay as they were.
void RenameAviToMov(ClipRegistry& registry);

/// Forgets every key and list; the clip items are not touched.
void ClearClipRegistry(ClipRegistry& registry);
