#include "reply_script.h"

#include "escapes.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tevran::sim {

ReplyScript ReplyScript::parse(std::string_view content)
{
    ReplyScript script;
    std::size_t number = 0;
    while (!content.empty()) {
        ++number;
        const std::size_t lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        content = lf == std::string_view::npos ? std::string_view{} : content.substr(lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (line == "-") {
            script.lines_.emplace_back(std::nullopt);
            continue;
        }
        try {
            script.lines_.emplace_back(decode_escapes(line));
        } catch (const EscapeError& e) {
            throw ReplyScriptError("line " + std::to_string(number) + ": " + e.what());
        }
    }
    return script;
}

ReplyScript ReplyScript::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::system_error(errno, std::generic_category(), path);
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw std::system_error(errno, std::generic_category(), path);
    return parse(content.str());
}

std::optional<std::string> ReplyScript::reply(std::size_t index) const
{
    if (index >= lines_.size())
        return std::nullopt;
    return lines_[index];
}

} // namespace tevran::sim
