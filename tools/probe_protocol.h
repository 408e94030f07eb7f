#pragma once

// How probe.exe asks probe_hook.dll, loaded into another process by a
// WH_GETMESSAGE hook, to answer a question that only that process can answer
// (its fonts and icons are handles that mean nothing elsewhere).
//
// probe.exe creates a named mapping and event that carry its own process id,
// writes the request, hooks the target window's thread and posts the query
// message to that window with its process id as wParam. The hook, running in
// the target's GUI thread, writes key=value lines into the reply and signals
// the event.

#include <windows.h>

namespace probe {

inline constexpr const wchar_t* kQueryMessage = L"PellucorProbeQuery";
inline constexpr const wchar_t* kMappingPrefix = L"Local\\PellucorProbeMap-";
inline constexpr const wchar_t* kEventPrefix = L"Local\\PellucorProbeDone-";
inline constexpr const char* kHookExport = "ProbeGetMessageHook";

struct Exchange {
  wchar_t request[64];
  wchar_t reply[16000];
};

}  // namespace probe
