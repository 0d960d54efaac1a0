#pragma once
// Finds a document's volume and image file. Patents and trademarks: the volume's
// open.idx, 50-byte records sorted by document number; assignments: the
// assignment database, by reel and frame. Everything read from a volume is
// untrusted: a stored path that would leave the volume directory is refused.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "index/record_file.h"
#include "platform/current_document.h"

namespace velk {

struct App;

inline constexpr int kOpenIdxRecordLength = 50;
inline constexpr const char* kAssignmentDatabase = "s:\\assignmt.mdb";
inline constexpr const char* kLocateErrorText = "error at getpath_openidx";

// Fields as stored: DocNo 8, ImagePath 37, Pages 3.
OpenIdxRecord ParseOpenIdxRecord(std::string_view bytes);

// root & "\" & name with exactly one separator between them ("E:\" and "E:" both
// give "E:\name"; a tower root "/srv/tower/" gives "/srv/tower\name").
std::string JoinVolumePath(const std::string& root, const std::string& name);

// The directory on the volume root (CDDrive) that holds volume: its name as the
// listing spells it. Patents and trademarks also accept the name without its
// underscores; letter case never matters. nullopt when absent or unreadable.
std::optional<std::string> FindVolumeDir(const App& app, const std::string& volume);
bool CDLoaded(const App& app, const std::string& volume);

// The volume directory in the program's path form: CDDrive in single-drive mode,
// the tower root & "\" & the volume's directory in tower mode. Throws RuntimeError
// 76 when a tower volume is not there.
std::string VolumeRoot(const App& app, const std::string& volume);

// The native path of a stored, volume-relative path ("\DOCS\0001.TIF") below the
// native volume directory. Refuses (RuntimeError 52) a path with a ".." component, a
// drive letter, a leading "\\", a native absolute path, or one that leads out of the
// volume directory through a symbolic link.
std::filesystem::path FileOnVolume(const App& app, const std::filesystem::path& volumeDir, const std::string& stored);

// The binary search of an open.idx for docNo (compared trimmed, case-sensitive).
// Trademarks compare by value, so that the import's "0123456" and the find dialog's
// "123456" both find the volume's record of that registration.
RecordHit SearchOpenIdx(RecordFile& openIdx, const std::string& docNo, bool byValue = false);

// Locates docNo on volume: sets CurImagePath (native), VolumeDir and, for patents
// and trademarks, LastOpenIdx; trademarks also CurPageCount; patents then read
// their page map. A document not listed gives false quietly; any error shows
// "error at getpath_openidx" and gives false. Nothing changes unless it succeeds.
bool GetPath_OpenIdx(App& app, const std::string& docNo, const std::string& volume);

// "Please insert CDROM Volume ..." for the viewers and the found-list view; the
// batch loops spell it "CDRom".
std::string InsertVolumeText(const App& app, const std::string& volume);
std::string BatchInsertVolumeText(const App& app, const std::string& volume);

// Asks for CurVolume through the frmMessage prompt until it is present (true) or
// the user cancels (false).
bool InsertVolumePrompt(App& app);

// A batch run's question for CurVolume: Abort/Retry/Ignore until the volume is in.
enum class BatchVolume { Loaded, Ignored, Aborted };
BatchVolume AskForBatchVolume(App& app);

}  // namespace velk
