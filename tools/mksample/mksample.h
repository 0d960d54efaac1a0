#pragma once
// Sample installations of the three collections, for tests, the demo and benchmarks.
//
//   DIR/app            application directory: program link, VelkWp.INI / VelkWm.INI,
//                      drives.map, cumulative index, coverage file, Readme.txt, help
//                      file, iconsP/iconsM, workingP/workingM
//   DIR/cd             single drive (E:): a copy of the inserted volume
//   DIR/volumes/<VOL>  single drive: every volume, to swap into DIR/cd (InsertVolume)
//   DIR/tower/<vol>    tower: every volume a directory, odd ones in lower case
//   DIR/assign         S:, the assignment database assignmt.mdb (SQLite)
//   DIR/c, DIR/a       C: (import and export directories) and A: (a diskette)
//
// A volume holds open.idx (patents, trademarks), a directory named after the volume
// and the image files. Everything is deterministic for a seed.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velk::mksample {

enum class Collection { Quorvel, Tovrin, Assign };
enum class DriveMode { Drive, Tower };
enum class Installation { Open, Restricted, Other };
enum class Paper { Letter, A4 };

enum class ImageKind {
    Container,         // page container of raw G4 pages; patents: text map path & "a"
    TiffTextMap,       // multi-page G4 TIFF with a ".a1a" text map
    TiffEmbedded,      // TIFF with the map at bytes 258-292, no "META" marker
    TiffEmbeddedMeta,  // TIFF with the map and a "META" section-range block
    Bin,               // a TIFF file named ".BIN"; patents: text map path & "a"
    Tiff,              // trademarks: multi-page G4 TIFF
    // --hostile only
    DotDotPath,     // stored path climbs out of the volume ("\..\..")
    AbsolutePath,   // stored path is a native absolute path ("/etc/hostname")
    DrivePath,      // stored path names another drive ("C:\VELK\IMPORT\NUMBERS.TXT")
    OffsetPastEnd,  // container whose second page offset points past the end of the file
    ZeroSize,       // container page of width and height 0
    HugeSize,       // container page of width and height 32767
    ClaimsHuge,     // TIFF (assignments: .BIN) claiming 100000 x 100000 pixels
    BadTextMap,     // container whose text map holds numbers out of the 16-bit range
    BadMeta,        // TIFF whose "META" block start lies past the end of the file
    BadPages,       // trademarks: open.idx page count that is not a number
};

struct SampleOptions {
    Collection collection = Collection::Quorvel;
    std::filesystem::path outDir;  // created; must be empty or absent
    DriveMode mode = DriveMode::Drive;
    int volumes = 2;             // 1..99
    int documentsPerVolume = 6;  // 1..500
    long indexRecords = 0;       // 0: the documents present; at most 2,000,000
    std::uint64_t seed = 1;
    Installation installation = Installation::Open;
    bool hostile = false;
    std::filesystem::path programPath;  // link target of the program; empty: no link
    Paper paper = Paper::Letter;
    double pageScale = 1.0;  // 1.0 is 300 dpi; tests use 0.1 (30 dpi) to stay fast
};

// Section first pages as a page map states them (0: no such section), and for
// "META" maps the six (first, last) pairs.
struct SectionMap {
    int info = 0, abstract = 0, drawings = 0, description = 0, claims = 0;
    std::vector<int> ranges;  // 12 numbers for TiffEmbeddedMeta, else empty
};

struct SampleDocument {
    std::string number;  // as in the index, trimmed ("5123456", "D345678", "12340567")
    std::string volume;  // volume name as in the index ("QUOR_0001")
    int pages = 0;       // as the index states it
    ImageKind kind = ImageKind::Container;
    std::string storedPath;           // open.idx ImagePath, or assignment Path & "\" & FileName
    std::filesystem::path imagePath;  // the file inside its volume directory (none for path kinds)
    std::filesystem::path mapPath;    // text map, when the document has one
    SectionMap sections;              // patents
    bool truncatedRecord = false;     // hostile: its open.idx record is cut short
};

struct SampleVolume {
    std::string name;           // "QUOR_0001"
    std::filesystem::path dir;  // DIR/volumes/<name> or DIR/tower/<name in its case>
    bool lowerCase = false;     // file names on the volume are in lower case
};

struct SampleResult {
    std::filesystem::path appDir, configFile, drivesMap, indexFile, helpFile, coverageFile;
    std::filesystem::path programLink;   // empty when no program path was given
    std::filesystem::path driveRoot;     // DIR/cd (single drive) or DIR/tower
    std::filesystem::path assignmentDb;  // assignments only
    std::string collectionMode;          // "Quorvel", "Tovrin", "ASSIGN"
    std::string insertedVolume;          // single drive: the volume in DIR/cd
    long indexRecords = 0;
    std::vector<SampleVolume> volumes;
    std::vector<SampleDocument> documents;  // in index order
};

// Builds the installation; throws std::invalid_argument for bad options and
// std::runtime_error (with the path) when a file cannot be written.
SampleResult MakeSample(const SampleOptions& options);

// Single drive: replaces the contents of the drive root with a copy of the volume.
void InsertVolume(SampleResult& sample, const std::string& volume);

const char* KindName(ImageKind kind);
const char* CollectionName(Collection c);  // "quorvel", "tovrin", "assign"

// Command line of the mksample program. Parse returns false with a message in
// error for a bad command line; help is set for --help.
struct CommandLine {
    SampleOptions options;
    bool help = false;
    bool programGiven = false;
};
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error);
std::string HelpText();

}  // namespace velk::mksample
