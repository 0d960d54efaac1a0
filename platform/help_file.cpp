#include "platform/help_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/vb_text.h"
#include "platform/config.h"

namespace velk {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "velk-help 1";
constexpr std::string_view kTopicMark = "@topic";

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Cuts at a character boundary so that a long title stays valid UTF-8.
std::string CutUtf8(std::string_view s, std::size_t max) {
    if (s.size() <= max) return std::string(s);
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return std::string(s.substr(0, n));
}

// The text of a body for searching: tags dropped, the common entities decoded.
std::string PlainText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    bool inTag = false;
    for (std::size_t i = 0; i < html.size(); ++i) {
        char c = html[i];
        if (inTag) {
            if (c == '>') {
                inTag = false;
                out += ' ';
            }
            continue;
        }
        if (c == '<') {
            inTag = true;
            continue;
        }
        if (c == '&') {
            static const std::pair<std::string_view, char> kEntities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};
            bool done = false;
            for (const auto& [name, ch] : kEntities)
                if (html.substr(i, name.size()) == name) {
                    out += ch;
                    i += name.size() - 1;
                    done = true;
                    break;
                }
            if (done) continue;
        }
        out += c;
    }
    return LowerAscii(out);
}

std::vector<std::string> Words(std::string_view query) {
    std::vector<std::string> words;
    std::string word;
    for (char c : LowerAscii(query)) {
        if (IsBlank(c) || c == '\n' || c == '\r') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

// "@topic 12 Title" -> context 12; false for anything else, which stays body text.
bool ParseHeading(std::string_view line, long& context, std::string& title) {
    if (line.substr(0, kTopicMark.size()) != kTopicMark) return false;
    std::string_view rest = line.substr(kTopicMark.size());
    if (rest.empty() || !IsBlank(rest.front())) return false;
    rest = TrimBlanks(rest);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
    if (digits == 0 || digits > 9) return false;
    if (digits < rest.size() && !IsBlank(rest[digits])) return false;
    context = std::stol(std::string(rest.substr(0, digits)));
    title = CutUtf8(TrimBlanks(rest.substr(digits)), kMaxHelpTitleBytes);
    if (title.empty()) title = "Topic " + std::to_string(context);
    return true;
}

HelpTopic GeneratedContents(const std::vector<HelpTopic>& topics) {
    HelpTopic c;
    c.context = kHelpContentsContext;
    c.title = "Contents";
    c.html = "<h1>Contents</h1>\n<ul>\n";
    for (const HelpTopic& t : topics)
        c.html +=
            "<li><a href=\"topic:" + std::to_string(t.context) + "\">" + EscapeHtml(t.title) + "</a></li>\n";
    c.html += "</ul>\n";
    c.text = PlainText(c.html);
    return c;
}

}  // namespace

HelpFile HelpFile::Load(const fs::path& path) {
    HelpFile f;
    const std::string name = path.string();
    const std::string tooLarge = "The help file " + name + " is larger than " +
                                 std::to_string(kMaxHelpFileBytes >> 20) + " MB and was not opened.";
    std::error_code ec;
    auto status = fs::status(path, ec);
    if (name.empty()) {
        f.problem_ = "No help file is set for this collection.";
    } else if (!fs::exists(status)) {
        f.problem_ = "The help file " + name + " was not found.";
    } else if (!fs::is_regular_file(status)) {
        f.problem_ = "The help file " + name + " is not a file.";
    } else if (auto size = fs::file_size(path, ec); ec) {
        f.problem_ = "The help file " + name + " could not be read (" + ec.message() + ").";
    } else if (size > kMaxHelpFileBytes) {
        f.problem_ = tooLarge;
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            f.problem_ = "The help file " + name + " could not be read (" + std::strerror(errno) + ").";
        } else {
            // Read in pieces up to the cap: the file may have grown since it was measured.
            std::string bytes;
            char piece[64 * 1024];
            while (bytes.size() <= kMaxHelpFileBytes && in.read(piece, sizeof piece).gcount() > 0)
                bytes.append(piece, static_cast<std::size_t>(in.gcount()));
            if (in.bad())
                f.problem_ = "The help file " + name + " could not be read.";
            else if (bytes.size() > kMaxHelpFileBytes)
                f.problem_ = tooLarge;
            else
                return Parse(bytes, name);
        }
    }
    f.contents_ = GeneratedContents(f.topics_);
    return f;
}

HelpFile HelpFile::Parse(std::string_view bytes, const std::string& name) {
    HelpFile f;
    auto fail = [&](std::string message) {
        f.topics_.clear();
        f.problem_ = std::move(message);
        f.contents_ = GeneratedContents(f.topics_);
        return f;
    };
    static constexpr char kBinaryMagic[] = {0x3F, 0x5F, 0x03, 0x00};
    if (bytes.substr(0, 4) == std::string_view(kBinaryMagic, 4))
        return fail("The help file " + name +
                    " is in the old binary help format, which this program cannot show. "
                    "Replace it with a help file in the text format described in velk(1).");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    // Files saved by older Windows editors are in Windows-1252.
    std::string text = IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return fail("The help file " + name + " is empty.");

    bool headerSeen = false;
    HelpTopic* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!headerSeen) {
            if (TrimBlanks(line).empty()) continue;
            if (TrimBlanks(line) != kHeader)
                return fail("The help file " + name +
                            " is not a help file this program can read: its first line must be \"" +
                            std::string(kHeader) + "\".");
            headerSeen = true;
            continue;
        }
        long context = 0;
        std::string title;
        if (ParseHeading(line, context, title)) {
            bool duplicate = context > kMaxHelpContext ||
                             std::any_of(f.topics_.begin(), f.topics_.end(),
                                         [&](const HelpTopic& t) { return t.context == context; });
            if (duplicate || f.topics_.size() >= kMaxHelpTopics) {
                current = nullptr;  // the first topic of a number wins; the rest is skipped
                continue;
            }
            f.topics_.push_back({context, std::move(title), {}, {}});
            current = &f.topics_.back();
            continue;
        }
        // Lines before the first topic are notes for whoever edits the file.
        if (current) {
            current->html.append(line);
            current->html += '\n';
        }
    }
    if (f.topics_.empty()) return fail("The help file " + name + " holds no topics.");
    for (HelpTopic& t : f.topics_) t.text = PlainText(t.html);
    if (const HelpTopic* c = f.find(kHelpContentsContext))
        f.contents_ = *c;
    else
        f.contents_ = GeneratedContents(f.topics_);
    return f;
}

const HelpTopic* HelpFile::find(long context) const {
    for (const HelpTopic& t : topics_)
        if (t.context == context) return &t;
    return nullptr;
}

const HelpTopic& HelpFile::topicFor(long context) const {
    const HelpTopic* t = find(context);
    return t ? *t : contents_;
}

std::vector<const HelpTopic*> HelpFile::search(std::string_view query) const {
    std::vector<std::string> words = Words(query);
    std::vector<const HelpTopic*> inTitle, inText;
    if (words.empty()) return {};
    for (const HelpTopic& t : topics_) {
        std::string title = LowerAscii(t.title);
        bool all = true, titleHit = false;
        for (const std::string& w : words) {
            bool hitTitle = title.find(w) != std::string::npos;
            titleHit = titleHit || hitTitle;
            if (!hitTitle && t.text.find(w) == std::string::npos) {
                all = false;
                break;
            }
        }
        if (all) (titleHit ? inTitle : inText).push_back(&t);
    }
    inTitle.insert(inTitle.end(), inText.begin(), inText.end());
    return inTitle;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
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
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string AboutHtml(const std::string& version, const AboutFacts& facts,
                      const std::vector<LibraryVersion>& libraries, const HelpTopic* fileTopic) {
    std::string h = "<h1>About Velk</h1>\n<p><b>Velk</b> " + EscapeHtml(version) +
                    ", a viewer for facsimile page images on CD-ROM volumes.</p>\n";
    if (!facts.collection.empty()) {
        // The assignments' mode text is a code, not a name.
        const std::string collection =
            facts.collection == kModeAssignments ? "Assignments" : facts.collection;
        h += "<p>Collection: <b>" + EscapeHtml(collection) + "</b>";
        if (!facts.coverageNumber.empty() || !facts.coverageDate.empty()) {
            h += "<br>Coverage: through " + EscapeHtml(Trim(facts.coverageNumber));
            if (!Trim(facts.coverageDate).empty()) h += " (" + EscapeHtml(Trim(facts.coverageDate)) + ")";
        }
        h += "</p>\n";
    }
    if (!libraries.empty()) {
        h += "<p>Libraries in use:</p>\n<table cellpadding=\"2\">\n";
        for (const LibraryVersion& l : libraries)
            h += "<tr><td>" + EscapeHtml(l.name) + "</td><td>" + EscapeHtml(l.version) + "</td></tr>\n";
        h += "</table>\n";
    }
    if (fileTopic && !TrimBlanks(fileTopic->html).empty()) h += "<hr>\n" + fileTopic->html;
    return h;
}

}  // namespace velk
