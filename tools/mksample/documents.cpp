#include "tools/mksample/documents.h"

#include <cmath>
#include <stdexcept>

#include "common/vb_text.h"
#include "tools/mksample/g4_tiff.h"
#include "tools/mksample/install_files.h"
#include "tools/mksample/rng.h"

namespace velk::mksample {
namespace fs = std::filesystem;

std::string VolumeNumber(Collection c, const std::string& number) {
    if (c != Collection::Tovrin || number.size() >= 7) return number;
    return std::string(7 - number.size(), '0') + number;
}

namespace {

constexpr std::size_t kMapOffset = 258;
constexpr std::size_t kMapBytes = 35;
constexpr std::size_t kReserve = 512;

struct ContainerPage {
    int width = 0, height = 0;
    std::string g4;
};

void PutLE(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string Display(Collection c, const std::string& number) {
    if (c == Collection::Assign) return Left(number, 4) + "/" + Mid(number, 5);
    std::size_t digits = number.find_first_of("0123456789");
    std::string prefix = number.substr(0, digits);
    std::string grouped = FormatNumber(ValInt(number.substr(digits)), "#,###,###");
    if (c == Collection::Tovrin) return grouped;
    return prefix.empty() ? grouped : prefix + (prefix == "D" ? "" : " ") + grouped;
}

std::string Title(Collection c, const std::string& number) {
    switch (c) {
        case Collection::Quorvel:
            return "Quorvel Patent Document " + number;
        case Collection::Tovrin:
            return "Tovrin Trademark Registration " + number;
        case Collection::Assign:
            return "Assignment Record " + number;
    }
    return {};
}

std::string Extension(ImageKind kind) {
    switch (kind) {
        case ImageKind::TiffTextMap:
        case ImageKind::TiffEmbedded:
        case ImageKind::TiffEmbeddedMeta:
        case ImageKind::Tiff:
        case ImageKind::BadMeta:
        case ImageKind::BadPages:
            return ".TIF";
        case ImageKind::Bin:
            return ".BIN";
        case ImageKind::ClaimsHuge:
            return ".TIF";
        default:
            return ".IMG";
    }
}

bool IsPathKind(ImageKind k) {
    return k == ImageKind::DotDotPath || k == ImageKind::AbsolutePath || k == ImageKind::DrivePath;
}

// Hostile documents keep only the pages their fault needs (0: all).
std::size_t HostilePages(ImageKind k) {
    switch (k) {
        case ImageKind::OffsetPastEnd:
            return 2;
        case ImageKind::BadTextMap:
        case ImageKind::BadMeta:
            return 3;
        case ImageKind::DotDotPath:
        case ImageKind::AbsolutePath:
        case ImageKind::DrivePath:
        case ImageKind::ZeroSize:
        case ImageKind::HugeSize:
        case ImageKind::ClaimsHuge:
        case ImageKind::BadPages:
            return 1;
        default:
            return 0;
    }
}

// The stored path of a document: open.idx ImagePath, or assignment Path & "\" & FileName.
std::string StoredPath(Collection c, const std::string& number, ImageKind kind, const VolumeTarget& v) {
    if (kind == ImageKind::DotDotPath)
        return std::string(v.tower ? "\\..\\..\\app\\" : "\\..\\app\\") + v.configName;
    if (kind == ImageKind::AbsolutePath) return "/etc/hostname";
    if (kind == ImageKind::DrivePath) return "C:\\VELK\\IMPORT\\NUMBERS.TXT";
    std::string ext = Extension(kind);
    if (c == Collection::Assign && kind == ImageKind::ClaimsHuge) ext = ".BIN";
    switch (c) {
        case Collection::Quorvel:
            return "\\DOCS\\" + number + ext;
        case Collection::Tovrin:
            return "\\MARKS\\" + VolumeNumber(c, number) + ext;
        case Collection::Assign:
            return "\\REEL" + Left(number, 4) + "\\" + Mid(number, 5) + ext;
    }
    return {};
}

std::vector<BitPage> Draw(const DocumentPlan& plan) {
    std::vector<BitPage> out;
    out.reserve(plan.pages.size());
    for (const PageSpec& s : plan.pages) out.push_back(DrawPage(s));
    return out;
}

std::vector<ContainerPage> ContainerPages(const std::vector<BitPage>& pages) {
    std::vector<ContainerPage> out;
    for (const BitPage& p : pages) out.push_back({p.width, p.height, EncodeG4Raw(p)});
    return out;
}

std::string MetaBlock(const DocumentPlan& plan, const PageGeometry& g) {
    std::string s = plan.number + ",B1,19" + std::to_string(70 + plan.pages.size()) + "0101," +
                    std::to_string(plan.pages.size()) + ",G4," + std::to_string(g.dpi) + ",SAMPLE";
    for (int v : plan.sections.ranges) s += "," + std::to_string(v);
    return s + ",END\r\n";  // the reader stops one byte short of the end of the file
}

// A stored Windows path ("\\DOCS\\X.TIF") as a native path below the volume directory.
fs::path OnVolume(const VolumeTarget& volume, const std::string& storedPath) {
    std::string rel = storedPath;
    for (char& ch : rel)
        if (ch == '\\') ch = '/';
    while (!rel.empty() && rel.front() == '/') rel.erase(0, 1);
    return volume.dir / (volume.lowerCase ? LCase(rel) : rel);
}

// 20-byte header, page table, then per page a 12-byte header and the raw G4 data.
std::string ContainerBytes(const std::string& number, const std::vector<ContainerPage>& pages) {
    const auto n = pages.size();
    std::string out = "IMGPAGES" + FixedWidth(number, 10) + std::string(2 + 4 * n, '\0');
    PutLE(out, 18, static_cast<std::uint32_t>(n), 2);
    for (std::size_t p = 0; p < n; ++p) {
        PutLE(out, 20 + 4 * p, static_cast<std::uint32_t>(out.size()), 4);
        std::string head = "PAGE" + std::string(8, '\0');
        PutLE(head, 4, static_cast<std::uint32_t>(p + 1), 2);
        PutLE(head, 6, static_cast<std::uint32_t>(pages[p].width), 2);
        PutLE(head, 8, static_cast<std::uint32_t>(pages[p].height), 2);
        out += head + pages[p].g4;
    }
    return out;
}

std::string SectionFields(const SectionMap& s) {
    std::string out;
    for (int v : {s.info, s.abstract, s.drawings, s.description, s.claims}) out += std::to_string(v) + ";";
    return out;
}

// Writes "[PMAP]" & fields into the 35 bytes at 258 of a TIFF made with reserved
// bytes. With a META block, the block is appended to the file and its position
// (counting the first byte as 1) added to the fields as "META:start;".
void EmbedPageMap(std::string& tiff, std::string fields, const std::string& metaBlock = {}) {
    if (tiff.size() < kReserve) throw std::logic_error("TIFF without room for an embedded page map");
    if (!metaBlock.empty()) {
        fields += "META:" + std::to_string(tiff.size() + 1) + ";";
        tiff += metaBlock;
    }
    std::string area = "[PMAP]" + fields;
    if (area.size() > kMapBytes) throw std::logic_error("embedded page map longer than 35 bytes: " + area);
    tiff.replace(kMapOffset, kMapBytes, FixedWidth(area, kMapBytes));
}

std::string TextMapLine(const SectionMap& s) {
    return "Info.: " + std::to_string(s.info) + "  Abstract: " + std::to_string(s.abstract) +
           "  Drawing(s): " + std::to_string(s.drawings) + "  Description: " + std::to_string(s.description) +
           "  Claim(s) : " + std::to_string(s.claims) + "\r\n";
}

}  // namespace

PageGeometry Geometry(Paper paper, double scale) {
    const int w = paper == Paper::A4 ? 2480 : 2550, h = paper == Paper::A4 ? 3508 : 3300;
    return {static_cast<int>(std::lround(w * scale)), static_cast<int>(std::lround(h * scale)),
            static_cast<int>(std::lround(300 * scale))};
}

DocumentPlan PlanDocument(Collection c, const std::string& number, ImageKind kind, const PageGeometry& g,
                          std::uint64_t seed) {
    DocumentPlan plan;
    plan.number = number;
    plan.kind = kind;
    Rng rng(HashText(seed, number));
    auto add = [&](PageLayout layout, const char* section, int item = 1, int items = 1) {
        PageSpec s;
        s.width = g.width;
        s.height = g.height;
        s.dpi = g.dpi;
        s.layout = layout;
        s.title = Title(c, number);
        s.number = Display(c, number);
        s.section = section;
        s.firstItem = item;
        s.items = items;
        s.seed = rng.next();
        plan.pages.push_back(s);
    };
    if (c == Collection::Tovrin) {
        add(PageLayout::MarkRegistration, "Registration");
        if (rng.chance(60)) add(PageLayout::MarkSpecimen, "Specimen");
        if (rng.chance(40)) add(PageLayout::MarkStatement, "Declaration");
    } else if (c == Collection::Assign) {
        add(PageLayout::AssignmentCover, "Cover sheet");
        for (int i = rng.range(1, 3); i > 0; --i) add(PageLayout::AssignmentDeed, "Assignment");
    } else {
        const bool design = number[0] == 'D';
        const int drawings = design ? rng.range(1, 2) : rng.chance(20) ? 0 : rng.range(1, 3);
        const int description = design ? 1 : rng.range(1, 3);
        const int claims = design ? 1 : rng.range(1, 2);
        const bool certificate = rng.chance(30), reexam = rng.chance(15);
        SectionMap& m = plan.sections;
        add(PageLayout::PatentFront, "Front page");
        m.info = 1;
        m.abstract = design ? 0 : 1;
        int figure = 2;
        for (int i = 0; i < drawings; ++i) {
            int n = rng.range(1, 2);
            add(PageLayout::PatentDrawing, "Drawings", figure, n);
            figure += n;
        }
        m.drawings = drawings ? 2 : 0;
        m.description = 2 + drawings;
        for (int i = 0; i < description; ++i) add(PageLayout::PatentDescription, "Description", i);
        m.claims = m.description + description;
        for (int i = 0; i < claims; ++i) add(PageLayout::PatentClaims, "Claims", 1 + 7 * i);
        const int cert = certificate ? static_cast<int>(plan.pages.size()) + 1 : 0;
        if (certificate) add(PageLayout::PatentCertificate, "Certificate of Correction");
        const int re = reexam ? static_cast<int>(plan.pages.size()) + 1 : 0;
        if (reexam) add(PageLayout::PatentCertificate, "Reexamination Certificate");
        if (kind == ImageKind::TiffEmbeddedMeta)
            m.ranges = {m.abstract,    m.abstract,   m.drawings, m.drawings ? m.description - 1 : 0,
                        m.description, m.claims - 1, m.claims,   m.claims + claims - 1,
                        cert,          cert,         re,         re};
    }
    if (std::size_t keep = HostilePages(kind); keep && keep < plan.pages.size()) {
        plan.pages.resize(keep);
        if (kind != ImageKind::BadTextMap && kind != ImageKind::BadMeta) plan.sections = {};
    }
    const int n = static_cast<int>(plan.pages.size());
    for (int i = 0; i < n; ++i) {
        plan.pages[static_cast<std::size_t>(i)].page = i + 1;
        plan.pages[static_cast<std::size_t>(i)].pages = n;
    }
    return plan;
}

void WriteDocument(Collection c, const DocumentPlan& plan, const VolumeTarget& volume, SampleDocument& doc) {
    doc.number = plan.number;
    doc.kind = plan.kind;
    doc.pages = static_cast<int>(plan.pages.size());
    doc.sections = plan.sections;
    doc.storedPath = StoredPath(c, plan.number, plan.kind, volume);
    if (IsPathKind(plan.kind)) return;  // the stored path is the fault; no file
    doc.imagePath = OnVolume(volume, doc.storedPath);
    MakeDirs(doc.imagePath.parent_path());
    const bool patents = c == Collection::Quorvel;
    std::string bytes;
    std::string map;  // text map contents, when the document has one
    const std::vector<BitPage> pages =
        plan.kind == ImageKind::ClaimsHuge ? std::vector<BitPage>{} : Draw(plan);
    switch (plan.kind) {
        case ImageKind::Container:
        case ImageKind::BadTextMap:
            bytes = ContainerBytes(plan.number, ContainerPages(pages));
            if (patents) map = TextMapLine(plan.sections) + "Pages: " + std::to_string(doc.pages) + "\r\n";
            if (plan.kind == ImageKind::BadTextMap)
                map = "Info.: 99999  Abstract: -7  Drawing(s): 40000  Description: 32768  Claim(s) : 2\r\n";
            break;
        case ImageKind::OffsetPastEnd:
            bytes = ContainerBytes(plan.number, ContainerPages(pages));
            PutLE(bytes, 20 + 4 * (pages.size() - 1), static_cast<std::uint32_t>(bytes.size() + 4096), 4);
            break;
        case ImageKind::ZeroSize:
        case ImageKind::HugeSize: {
            std::vector<ContainerPage> cp = ContainerPages(pages);
            for (ContainerPage& p : cp) p.width = p.height = plan.kind == ImageKind::ZeroSize ? 0 : 32767;
            bytes = ContainerBytes(plan.number, cp);
            break;
        }
        case ImageKind::TiffTextMap:
            bytes = WriteG4Tiff(pages);
            map = TextMapLine(plan.sections);
            break;
        case ImageKind::TiffEmbedded:
            bytes = WriteG4Tiff(pages, kReserve);
            EmbedPageMap(bytes, SectionFields(plan.sections));
            break;
        case ImageKind::TiffEmbeddedMeta:
            bytes = WriteG4Tiff(pages, kReserve);
            EmbedPageMap(bytes, SectionFields(plan.sections),
                         MetaBlock(plan, {pages[0].width, pages[0].height, pages[0].dpi}));
            break;
        case ImageKind::BadMeta:
            bytes = WriteG4Tiff(pages, kReserve);
            EmbedPageMap(bytes, "1;0;2;99999;3;META:999999999;");
            break;
        case ImageKind::Bin:
            bytes = WriteG4Tiff(pages);
            if (patents) map = TextMapLine(plan.sections);
            break;
        case ImageKind::Tiff:
        case ImageKind::BadPages:
            bytes = WriteG4Tiff(pages);
            break;
        case ImageKind::ClaimsHuge:
            // An end-of-block code only: the strip cannot fill the claimed page.
            bytes = WriteClaimingTiff(100000, 100000, std::string("\x00\x10\x01\x00\x10\x01", 6));
            break;
        case ImageKind::DotDotPath:
        case ImageKind::AbsolutePath:
        case ImageKind::DrivePath:
            break;
    }
    WriteFile(doc.imagePath, bytes);
    if (!map.empty()) {
        // Text maps: name.a1a beside a TIFF, the image path & "a" otherwise.
        std::string stored = doc.storedPath;
        if (plan.kind == ImageKind::TiffTextMap)
            stored = stored.substr(0, stored.size() - 4) + ".a1a";
        else
            stored += "a";
        doc.mapPath = OnVolume(volume, stored);
        WriteFile(doc.mapPath, map);
    }
}

}  // namespace velk::mksample
