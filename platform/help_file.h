#pragma once
// The help file: a text file of topics in simple HTML, each headed by its
// context number and title, so that an administrator can edit it with any
// editor. The format is described in docs/help-format.md.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

constexpr long kHelpContentsContext = 0;
constexpr long kHelpAboutContext = 17;
constexpr std::uintmax_t kMaxHelpFileBytes = 4u << 20;
constexpr std::size_t kMaxHelpTopics = 2000;
constexpr std::size_t kMaxHelpTitleBytes = 120;
constexpr long kMaxHelpContext = 999999999;

struct HelpTopic {
    long context = 0;
    std::string title;  // UTF-8, plain text
    std::string html;   // UTF-8, the topic's body as written
    std::string text;   // the body without tags, lower case (ASCII), for searching
};

class HelpFile {
public:
    // Reads a help file. A missing, unreadable, oversized, binary or foreign
    // file gives an empty HelpFile whose problem() says why.
    static HelpFile Load(const std::filesystem::path& path);
    // The same from the bytes of a file; name is used in messages.
    static HelpFile Parse(std::string_view bytes, const std::string& name);

    bool ok() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }
    const std::vector<HelpTopic>& topics() const { return topics_; }
    const HelpTopic* find(long context) const;
    // The contents topic; when the file has none, a list of its topics.
    const HelpTopic& contents() const { return contents_; }
    // The topic of a context number, or the contents when there is none.
    const HelpTopic& topicFor(long context) const;
    // Topics holding every word of the query (case-insensitive for ASCII),
    // those with a word in their title first; file order otherwise.
    std::vector<const HelpTopic*> search(std::string_view query) const;

private:
    std::vector<HelpTopic> topics_;
    HelpTopic contents_;
    std::string problem_;
};

std::string EscapeHtml(std::string_view text);

// What the About topic tells besides the program itself.
struct AboutFacts {
    std::string collection;  // the collection mode: "Quorvel", "Tovrin" or "ASSIGN"
    std::string coverageNumber, coverageDate;
};
struct LibraryVersion {
    std::string name, version;
};

// The About topic: program, version, collection and coverage, libraries; then
// the body of the help file's own About topic when it has one.
std::string AboutHtml(const std::string& version, const AboutFacts& facts,
                      const std::vector<LibraryVersion>& libraries, const HelpTopic* fileTopic);

}  // namespace velk
