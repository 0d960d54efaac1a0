#include "tools/mksample/mksample.h"

#include <algorithm>
#include <stdexcept>

#include "common/vb_text.h"
#include "tools/mksample/documents.h"
#include "tools/mksample/help_topics.h"
#include "tools/mksample/index_records.h"
#include "tools/mksample/install_files.h"
#include "tools/mksample/rng.h"

namespace velk::mksample {
namespace fs = std::filesystem;

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

std::string VolumePrefix(Collection c) {
    return c == Collection::Quorvel ? "QUOR_" : c == Collection::Tovrin ? "TOVR_" : "ASGN_";
}

std::string VolumeName(Collection c, int index) {  // index from 1
    std::string n = std::to_string(index);
    return VolumePrefix(c) + std::string(4 - std::min<std::size_t>(4, n.size()), '0') + n;
}

ImageKind NormalKind(Collection c, int volume, int k) {
    static const ImageKind kPatents[] = {ImageKind::Container, ImageKind::TiffTextMap,
                                         ImageKind::TiffEmbedded, ImageKind::TiffEmbeddedMeta,
                                         ImageKind::Bin};
    const auto i = static_cast<std::size_t>(volume + k);
    switch (c) {
        case Collection::Quorvel:
            return kPatents[i % std::size(kPatents)];
        case Collection::Tovrin:
            return ImageKind::Tiff;
        case Collection::Assign:
            return i % 2 ? ImageKind::Bin : ImageKind::Container;
    }
    return ImageKind::Container;
}

std::vector<ImageKind> HostileKinds(Collection c) {
    using K = ImageKind;
    switch (c) {
        case Collection::Quorvel:
            return {K::DotDotPath, K::AbsolutePath, K::DrivePath,  K::OffsetPastEnd, K::ZeroSize,
                    K::HugeSize,   K::ClaimsHuge,   K::BadTextMap, K::BadMeta};
        case Collection::Tovrin:
            return {K::DotDotPath, K::AbsolutePath, K::DrivePath, K::ClaimsHuge, K::BadPages};
        case Collection::Assign:
            return {K::DotDotPath, K::AbsolutePath, K::DrivePath, K::OffsetPastEnd,
                    K::ZeroSize,   K::HugeSize,     K::ClaimsHuge};
    }
    return {};
}

void Validate(const SampleOptions& o) {
    auto bad = [](const std::string& what) { throw std::invalid_argument(what); };
    if (o.outDir.empty()) bad("no output directory given (--out DIR)");
    if (o.volumes < 1 || o.volumes > 99) bad("volumes must be 1 to 99");
    if (o.documentsPerVolume < 1 || o.documentsPerVolume > 500) bad("documents per volume must be 1 to 500");
    if (o.indexRecords < 0 || o.indexRecords > 2000000) bad("index records must be 0 to 2,000,000");
    if (!(o.pageScale >= 0.05 && o.pageScale <= 1.0)) bad("page scale must be 0.05 to 1");
    std::error_code ec;
    if (fs::exists(o.outDir, ec) && !(fs::is_directory(o.outDir, ec) && fs::is_empty(o.outDir, ec)))
        bad(o.outDir.string() + " exists and is not an empty directory; nothing was written");
}

// Native paths go into the configuration file in its single-byte code page.
std::string ConfigPath(const fs::path& p) {
    std::string s = p.string();
    std::string cp = Utf8ToCp1252(s);
    if (!IsValidUtf8(s) || Cp1252ToUtf8(cp) != s)
        throw std::invalid_argument("the directory name " + s +
                                    " cannot be written in the configuration file");
    return cp;
}

std::string ReadmeText(const SampleResult& r, const SampleOptions& o) {
    std::string t = "Sample " + r.collectionMode + " installation\r\n\r\n";
    t += "This installation was generated for testing and demonstration (seed " + std::to_string(o.seed) +
         ").\r\n";
    t += "Its pages are drawn, not scanned; every number, name and text on them is made up.\r\n\r\n";
    t += std::string(o.mode == DriveMode::Tower
                         ? "Tower mode: every volume is a directory below " + r.driveRoot.string()
                         : "Single drive E:, volume " + r.insertedVolume + " inserted") +
         ".\r\n\r\nVolumes:\r\n";
    for (const SampleVolume& v : r.volumes) {
        long docs = std::count_if(r.documents.begin(), r.documents.end(),
                                  [&](const SampleDocument& d) { return d.volume == v.name; });
        t += "  " + v.name + "  " + std::to_string(docs) + " documents\r\n";
    }
    t += "\r\nThe cumulative index lists " + std::to_string(r.indexRecords) + " documents.\r\n";
    return t;
}

std::string ImportList(Collection c, const std::vector<SampleDocument>& docs) {
    std::string t;
    int n = 0;
    for (const SampleDocument& d : docs) {
        if (d.storedPath.empty() || n++ >= 6) continue;
        // Numbers as people type them: blanks around, digit groups, a hyphen after a letter.
        std::size_t digits = d.number.find_first_of("0123456789");
        if (n % 3 == 1)
            t += "  " + d.number + "  \r\n";
        else if (c == Collection::Assign)
            t += Left(d.number, 4) + "/" + Mid(d.number, 5) + "\r\n";
        else if (digits == 0)
            t += FormatNumber(ValInt(d.number), "#,###,###") + "\r\n";
        else
            t += d.number.substr(0, digits) + "-" + d.number.substr(digits) + "\r\n";
    }
    t += c == Collection::Tovrin    ? "0000042\r\n"
         : c == Collection::Quorvel ? "3999999\r\nd123456\r\n"
                                    : "09990999\r\n";
    return t;
}

}  // namespace

const char* KindName(ImageKind kind) {
    switch (kind) {
        case ImageKind::Container:
            return "container";
        case ImageKind::TiffTextMap:
            return "tiff-a1a";
        case ImageKind::TiffEmbedded:
            return "tiff-embedded";
        case ImageKind::TiffEmbeddedMeta:
            return "tiff-embedded-meta";
        case ImageKind::Bin:
            return "bin";
        case ImageKind::Tiff:
            return "tiff";
        case ImageKind::DotDotPath:
            return "hostile-dotdot-path";
        case ImageKind::AbsolutePath:
            return "hostile-absolute-path";
        case ImageKind::DrivePath:
            return "hostile-drive-path";
        case ImageKind::OffsetPastEnd:
            return "hostile-offset-past-end";
        case ImageKind::ZeroSize:
            return "hostile-zero-size";
        case ImageKind::HugeSize:
            return "hostile-huge-size";
        case ImageKind::ClaimsHuge:
            return "hostile-claims-100000";
        case ImageKind::BadTextMap:
            return "hostile-bad-text-map";
        case ImageKind::BadMeta:
            return "hostile-bad-meta";
        case ImageKind::BadPages:
            return "hostile-bad-pages";
    }
    return "?";
}

const char* CollectionName(Collection c) {
    return c == Collection::Quorvel ? "quorvel" : c == Collection::Tovrin ? "tovrin" : "assign";
}

SampleResult MakeSample(const SampleOptions& o) {
    Validate(o);
    const Collection c = o.collection;
    fs::path root = fs::absolute(o.outDir).lexically_normal();
    if (root.filename().empty()) root = root.parent_path();  // "DIR/" names DIR
    SampleResult r;
    r.collectionMode = c == Collection::Quorvel ? "Quorvel" : c == Collection::Tovrin ? "Tovrin" : "ASSIGN";
    r.appDir = root / "app";
    const bool tower = o.mode == DriveMode::Tower;
    r.driveRoot = tower ? root / "tower" : root / "cd";
    const std::string letter = c == Collection::Tovrin ? "M" : "P";
    const std::string configName = c == Collection::Tovrin ? "VelkWm.INI" : "VelkWp.INI";
    MakeDirs(r.appDir);

    // Which documents exist and where: normal ones spread over the volumes, the
    // hostile ones on the first volume, shuffled into index order.
    struct Slot {
        int volume;
        ImageKind kind;
        bool hostile;
    };
    std::vector<Slot> slots;
    for (int j = 0; j < o.volumes * o.documentsPerVolume; ++j)
        slots.push_back({j % o.volumes, ImageKind::Tiff, false});
    if (o.hostile)
        for (ImageKind k : HostileKinds(c)) slots.push_back({0, k, true});
    Rng shuffle(o.seed ^ 0x5EED5EEDull);
    for (std::size_t i = slots.size(); i > 1; --i) std::swap(slots[i - 1], slots[shuffle.below(i)]);
    const int present = static_cast<int>(slots.size());
    NumberPlan plan(c, std::max<long>(o.indexRecords, present), present, o.seed);
    const std::vector<std::string> numbers = plan.presentNumbers();
    std::vector<int> perVolume(static_cast<std::size_t>(o.volumes), 0);
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (!slots[i].hostile) slots[i].kind = NormalKind(c, slots[i].volume, perVolume[slots[i].volume]++);

    const PageGeometry geometry = Geometry(o.paper, o.pageScale);
    std::vector<AssignmentRow> rows;
    r.documents.resize(slots.size());
    for (int v = 0; v < o.volumes; ++v) {
        SampleVolume vol;
        vol.name = VolumeName(c, v + 1);
        vol.lowerCase = v % 2 == 1;  // as a CD mounted without its long names shows them
        vol.dir =
            tower ? r.driveRoot / (vol.lowerCase ? LCase(vol.name) : vol.name) : root / "volumes" / vol.name;
        VolumeTarget target{vol.dir, vol.lowerCase, tower, configName};
        std::string marker = vol.name;
        if (c == Collection::Quorvel)
            marker.erase(std::remove(marker.begin(), marker.end(), '_'), marker.end());
        if (vol.lowerCase) marker = LCase(marker);
        MakeDirs(vol.dir / marker);
        WriteFile(vol.dir / marker / (vol.lowerCase ? "volume.id" : "VOLUME.ID"), vol.name + "\r\n");
        // open.idx is in character-code order.
        std::vector<std::pair<std::string, SampleDocument*>> records;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].volume != v) continue;
            SampleDocument& d = r.documents[i];
            DocumentPlan dp = PlanDocument(c, numbers[i], slots[i].kind, geometry, o.seed);
            WriteDocument(c, dp, target, d);
            d.volume = vol.name;
            const std::string pages = d.kind == ImageKind::BadPages ? "X9" : std::to_string(d.pages);
            records.emplace_back(OpenIdxRecord(VolumeNumber(c, d.number), d.storedPath, pages), &d);
            std::size_t cut = d.storedPath.find_last_of("\\/");
            rows.push_back({Left(d.number, 4), Mid(d.number, 5), d.storedPath.substr(0, cut),
                            d.storedPath.substr(cut + 1)});
        }
        std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
            return Trim(a.first.substr(0, 8)) < Trim(b.first.substr(0, 8));
        });
        std::string openIdx;
        for (const auto& rec : records) openIdx += rec.first;
        SampleDocument* last = records.empty() ? nullptr : records.back().second;
        if (o.hostile && v == 0 && last) {
            openIdx.resize(openIdx.size() - 23);  // the last record loses its page count and part of its path
            last->truncatedRecord = true;
        }
        if (c != Collection::Assign) WriteFile(vol.dir / "open.idx", openIdx);
        r.volumes.push_back(vol);
    }
    if (c == Collection::Assign) {
        r.assignmentDb = root / "assign" / "assignmt.mdb";
        MakeDirs(r.assignmentDb.parent_path());
        WriteAssignmentDb(r.assignmentDb, rows);
    }
    if (!tower) {
        r.insertedVolume = r.volumes.front().name;
        MakeDirs(r.driveRoot);
        fs::copy(r.volumes.front().dir, r.driveRoot, fs::copy_options::recursive);
    }

    // The cumulative index: the documents present, then records for volumes not generated.
    std::vector<NumberPlan::Present> presentInfo;
    for (const SampleDocument& d : r.documents) presentInfo.push_back({d.volume, d.pages});
    const char* indexName = c == Collection::Quorvel  ? "cum.idx"
                            : c == Collection::Tovrin ? "cum_mark.idx"
                                                      : "cum_assn.idx";
    r.indexFile = r.appDir / indexName;
    std::string index = plan.indexRecords(presentInfo, VolumePrefix(c), o.volumes + 1);
    r.indexRecords = plan.total();
    if (o.hostile) index.resize(index.size() - 11);  // a last record without its page count
    WriteFile(r.indexFile, index);

    // Drives: E: the CD-ROM drive, C: a hard disk with the import and export
    // directories, A: a diskette, S: where the assignment database lives.
    const fs::path c_drive = root / "c", a_drive = root / "a";
    MakeDirs(c_drive / "VELK" / "IMPORT");
    MakeDirs(c_drive / "VELK" / "EXPORT");
    MakeDirs(a_drive);
    WriteFile(c_drive / "VELK" / "IMPORT" / "NUMBERS.TXT", ImportList(c, r.documents));
    std::map<char, fs::path> drives = {{'A', a_drive}, {'C', c_drive}};
    if (!tower) drives['E'] = r.driveRoot;
    if (c == Collection::Assign) drives['S'] = r.assignmentDb.parent_path();
    r.drivesMap = r.appDir / "drives.map";
    WriteFile(r.drivesMap, DrivesMapText(drives));

    ConfigValues cv;
    cv.installationType = o.installation == Installation::Open         ? "OPEN"
                          : o.installation == Installation::Restricted ? "RESTRICTED"
                                                                       : "STANDARD";
    cv.importPath = "C:\\VELK\\IMPORT";
    cv.exportPath = "C:\\VELK\\EXPORT";
    cv.cdDrive = "E:\\";
    cv.tower = tower;
    cv.towerRoot = ConfigPath(root / "tower");
    cv.pageType = o.paper == Paper::A4 ? "A4" : "LETTER";
    cv.exportDrives = {'A', 'C'};
    cv.importDrives = {'A', 'C', 'E'};
    r.configFile = r.appDir / configName;
    WriteFile(r.configFile, ConfigText(cv));

    const std::string last = plan.lastNumber();
    const std::string coverage = c == Collection::Assign ? Left(last, 4) + "/" + Mid(last, 5)
                                                         : FormatNumber(ValInt(last), "#,###,###");
    r.coverageFile = r.appDir / (letter == "M" ? "m_RegNo.ASC" : "p_RegNo.ASC");
    WriteFile(r.coverageFile, CoverageText(coverage, std::string(kMonths[o.seed % 12]) + " " +
                                                         std::to_string(1995 + o.seed % 9)));
    r.helpFile = r.appDir / (letter == "M" ? "velkwm.hlp" : "velkwp.hlp");
    WriteFile(r.helpFile, HelpFileText(c));
    WriteFile(r.appDir / "Readme.txt", ReadmeText(r, o));
    for (const char* l : {"P", "M"}) {
        WriteIcons(r.appDir / (std::string("icons") + l));
        MakeDirs(r.appDir / (std::string("working") + l));
    }
    if (!o.programPath.empty()) {
        const char* link = c == Collection::Quorvel  ? "velkwp"
                           : c == Collection::Tovrin ? "velkwm"
                                                     : "velkwa";
        r.programLink = r.appDir / link;
        std::error_code ec;
        fs::create_symlink(fs::absolute(o.programPath).lexically_normal(), r.programLink, ec);
        if (ec)
            throw std::runtime_error("cannot make the link " + r.programLink.string() + ": " + ec.message());
    }
    return r;
}

void InsertVolume(SampleResult& sample, const std::string& volume) {
    auto it = std::find_if(sample.volumes.begin(), sample.volumes.end(),
                           [&](const SampleVolume& v) { return v.name == volume; });
    if (it == sample.volumes.end())
        throw std::invalid_argument("no volume " + volume + " in this installation");
    if (sample.insertedVolume.empty())
        throw std::invalid_argument("a tower installation has no drive to insert into");
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(sample.driveRoot)) fs::remove_all(e.path(), ec);
    if (ec) throw std::runtime_error("cannot empty " + sample.driveRoot.string() + ": " + ec.message());
    fs::copy(it->dir, sample.driveRoot, fs::copy_options::recursive, ec);
    if (ec) throw std::runtime_error("cannot copy " + it->dir.string() + ": " + ec.message());
    sample.insertedVolume = volume;
}

}  // namespace velk::mksample
