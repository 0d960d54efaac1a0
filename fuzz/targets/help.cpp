// Help files: parsed, then every topic looked up by its context and searched.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "platform/help_file.h"

VELK_FUZZ_TARGET(help) {
    using namespace velk;
    const std::string_view bytes = fuzz::Bytes(data, size);
    const HelpFile help = HelpFile::Parse(bytes, "velkwp.hlp");
    if (!help.ok()) return 0;
    for (const HelpTopic& t : help.topics()) (void)help.topicFor(t.context);
    (void)help.topicFor(kHelpAboutContext);
    (void)help.search(bytes.substr(0, 12));
    (void)EscapeHtml(bytes.substr(0, 256));
    return 0;
}
